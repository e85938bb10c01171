#!/bin/sh
# Installs the Debian packages that one or more purposes need, skipping the
# ones already there. Runs apt-get directly as root, through sudo otherwise.
#
#   tools/install-deps.sh [PURPOSE...]         install what the purposes need
#   tools/install-deps.sh --list [PURPOSE...]  only print those packages, one a line
#
# The purposes:
#   play  build the desktop game and play it (./play.sh)
#   web   build the browser's version and serve it (./play.sh --web)
#   test  everything the test suite and the benchmarks use (./test.sh,
#         bench/run.sh): play's and web's packages, the test tools and
#         what the art and sound scripts in tools/ use
# With no purpose given, test: everything.
set -e

# The desktop game's build: the compiler and make, CMake and pkg-config, and
# the libraries it links (GLUT, OpenGL and GLU with GLX, Xlib for the
# window's class and icon, DevIL for pictures, SDL2_mixer for sound); Mesa's
# drivers, which include the software renderer used where there is no GPU;
# and Xvfb with xauth, because play.sh starts the game under xvfb-run where
# there is no X display.
PLAY_PACKAGES="build-essential cmake pkg-config
freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
libdevil-dev libsdl2-mixer-dev
xvfb xauth"

# The browser's build and its server: Emscripten (which brings its own
# Clang and Node.js), CMake and make to drive it, stb for decoding pictures
# in the browser's build, brotli and flac for the site's compressed copies
# and lossless sounds, and Python for tools/serve_web.py. Nothing of the
# desktop's build: ./play.sh --web alone needs only these.
WEB_PACKAGES="cmake make emscripten libstb-dev brotli flac python3"

# What only the tests and benchmarks use, beyond play's and web's packages:
# GoogleTest and Google Benchmark; X tools to drive and see the game's
# window (xdotool, xprop and xwininfo from x11-utils, ImageMagick's import
# and convert); the Debian package's makers and checkers (dpkg-dev, file,
# the desktop entry and metainfo validators, lintian, man and col for the
# manual page); headless Chromium with Selenium for the browser's version;
# the tools and fonts the art script draws and squeezes the pictures with;
# and sox (with its MP3 reader, for the summary) and lame, with which the
# sound script makes the sounds.
TEST_PACKAGES="googletest libgtest-dev libbenchmark-dev
xdotool x11-utils imagemagick
dpkg-dev file desktop-file-utils appstream-util appstream lintian man-db bsdextrautils
chromium chromium-driver python3-selenium
optipng zopfli libjpeg-turbo-progs fonts-dejavu-core
sox libsox-fmt-mp3 lame"

usage() {
    echo "usage: $0 [--list] [play|web|test]..." >&2
    exit 2
}

list_only=false
# A player gets the packages named and what they depend on, not what those
# merely recommend (key servers, D-Bus, fonts and manual pages a build never
# uses). The test suite keeps apt's usual choice, with which it has always
# been run: Chromium and ImageMagick then bring their fonts and helpers.
recommends="--no-install-recommends"
if [ "$1" = "--list" ]; then
    list_only=true
    shift
fi
if [ $# -eq 0 ]; then
    set -- test
fi

wanted=""
for purpose in "$@"; do
    case "$purpose" in
        play) wanted="$wanted $PLAY_PACKAGES" ;;
        web) wanted="$wanted $WEB_PACKAGES" ;;
        test) wanted="$wanted $PLAY_PACKAGES $WEB_PACKAGES $TEST_PACKAGES"; recommends="" ;;
        *) echo "$0: unknown purpose '$purpose'" >&2; usage ;;
    esac
done
# Each package once, in the order first named.
wanted=$(for package in $wanted; do echo "$package"; done | awk '!seen[$0]++')

if $list_only; then
    echo "$wanted"
    exit 0
fi

missing=""
for package in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
else
    SUDO="sudo"
fi
echo "Installing:$missing"
$SUDO apt-get update -q
# Through env, because sudo drops the caller's environment.
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $recommends $missing
