#!/usr/bin/env bash
# Takes the README's screenshots by playing the real game on a virtual
# display (Xvfb): the splash screen, a game with light on its way from a
# bright puck to a dark one, and the picture of a won game. Writes them as
# 800 x 600 PNGs into docs/screenshots/ (or into the folder given as the
# first argument): splash.png, play.png and win.png.
#
# Needs the desktop build in build/ (or in $LUMEN_BUILD_DIR), with its test
# tools: the game itself and browser_check, whose "pucks" command finds the
# pucks in a grab. Also xvfb-run, xdotool and ImageMagick (import, convert).
# No sound is played; the game runs on SDL's silent driver. With
# LUMEN_SCREENSHOT_DEBUG set, every command is shown as it runs.
set -euo pipefail
[[ -n "${LUMEN_SCREENSHOT_DEBUG:-}" ]] && set -x

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${LUMEN_BUILD_DIR:-$root/build}"
out="${1:-$root/docs/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

game="$build/game/lumen"
finder="$build/tests/browser_check"
for tool in "$game" "$finder"; do
    [[ -x "$tool" ]] || { echo "missing $tool: build the game and its tests first" >&2; exit 1; }
done
for command in xvfb-run xdotool import convert identify; do
    command -v "$command" > /dev/null || { echo "missing $command" >&2; exit 1; }
done

# A display of our own, so that nothing else shows in or over the window.
if [[ "${LUMEN_SCREENSHOT_DISPLAY:-}" != yes ]]; then
    LUMEN_SCREENSHOT_DISPLAY=yes exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$out"
fi

work="$(mktemp -d)"
log="$work/game.log"
pid=""
finish() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2> /dev/null; then
        kill "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT

# How many lines of the game's log equal $1.
count() { grep -cxF -- "$1" "$log" || true; }

# Waits up to $3 seconds until the log holds at least $2 lines equal to $1.
waitFor() {
    local line="$1" times="$2" tenths=$(($3 * 10))
    while (($(count "$line") < times)); do
        ((tenths-- > 0)) || { echo "the game never printed \"$line\"; its log:" >&2; cat "$log" >&2; exit 1; }
        sleep 0.1
    done
}

# Grabs the window into $1 as an 800 x 600 PNG without time stamps, so that
# an unchanged picture gives an unchanged file.
grab() {
    # Grabbed as a PPM, which is written at once, and made a PNG after.
    import -window "$window" "$work/grab.ppm"
    convert "$work/grab.ppm" -strip -define png:exclude-chunks=date,time "$1"
    local size
    size="$(identify -format '%w x %h' "$1")"
    [[ "$size" == "800 x 600" ]] || { echo "grabbed $size instead of 800 x 600" >&2; exit 1; }
}

# The game reads its pictures and sounds from the source folder.
cd "$root"
SDL_AUDIODRIVER=dummy "$game" > "$log" 2>&1 &
pid=$!

window=""
for _ in $(seq 300); do
    window="$(xdotool search --name '^TODO: CHANGE THIS$' 2> /dev/null | head -n 1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.1
done
[[ -n "$window" ]] || { echo "the game's window did not appear; its log:" >&2; cat "$log" >&2; exit 1; }
# Without a window manager the window sits at (-1, -1), and a grab would lose
# its first row and column.
xdotool windowmove --sync "$window" 0 0

# The splash screen, once its picture is loaded and drawn.
waitFor "Loaded texture ./img/splash.jpg" 1 20
sleep 1
grab "$out/splash.png"

# Through the instructions into a game; the pucks come in after 1.5 s.
xdotool mousemove --window "$window" 400 300 click 1
waitFor "Loaded texture ./img/instructions.jpg" 1 10
xdotool click 1
waitFor "Playing gong" 1 10
xdotool mousemove --window "$window" 5 5
sleep 2.5

# Clicks the brightest puck, then the darkest, right after a grab that shows
# all ten apart; tries again (cancelling with the right button) should the
# pucks have moved from under the pointer.
transfers=0
for attempt in $(seq 40); do
    # A PPM, which is grabbed far faster than a PNG is written: the pucks
    # drift on while the grab is read.
    import -window "$window" "$work/pucks.ppm"
    "$finder" pucks "$work/pucks.ppm" > "$work/pucks.txt"
    if [[ "$(grep -c -v '^unclear' "$work/pucks.txt")" != 10 || "$(tail -n 1 "$work/pucks.txt")" != "unclear 0" ]]; then
        sleep 0.1
        continue
    fi
    read -r brightX brightY < <(grep -v '^unclear' "$work/pucks.txt" | sort -k3,3 -g | tail -n 1 | cut -d' ' -f1,2)
    read -r darkX darkY < <(grep -v '^unclear' "$work/pucks.txt" | sort -k3,3 -g | head -n 1 | cut -d' ' -f1,2)
    xdotool mousemove --window "$window" "${brightX%.*}" "${brightY%.*}" click 1 \
        mousemove --window "$window" "${darkX%.*}" "${darkY%.*}" click 1
    for _ in $(seq 15); do
        (($(count "Playing transfer") > 0)) && break
        sleep 0.1
    done
    if (($(count "Playing transfer") > 0)); then
        transfers=1
        break
    fi
    xdotool click 3 || { echo "the game ended; its log:" >&2; cat "$log" >&2; exit 1; }
done
((transfers == 1)) || { echo "no transfer started after $attempt attempts" >&2; exit 1; }
# The light is under way between the two pucks, a quarter of the way
# (the whole takes 1.2 s), their shades still telling which gives.
xdotool mousemove --window "$window" 5 5
sleep 0.2
grab "$out/play.png"

# Releasing q wins at once; the win picture follows the gong.
gongs="$(count "Playing gong")"
xdotool windowfocus --sync "$window" key q
waitFor "Playing gong" $((gongs + 1)) 5
sleep 0.6
grab "$out/win.png"

# Escape ends the game; the window may be gone before xdotool lets go of
# the key.
xdotool windowfocus --sync "$window" key Escape 2> /dev/null || true
for _ in $(seq 50); do
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
done
echo "wrote $out/splash.png, $out/play.png and $out/win.png"
