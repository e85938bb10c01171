#!/bin/sh
# Installs the Debian packages that building, playing and testing need,
# skipping the ones already there. Runs apt-get directly as root, through
# sudo otherwise.
set -e

PACKAGES="build-essential cmake pkg-config
freeglut3-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
libdevil-dev libsdl2-mixer-dev
googletest libgtest-dev libbenchmark-dev
xvfb xauth xdotool x11-utils imagemagick
dpkg-dev file desktop-file-utils appstream-util appstream lintian man-db bsdextrautils
emscripten libstb-dev python3 chromium chromium-driver python3-selenium"

missing=""
for package in $PACKAGES; do
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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $missing
