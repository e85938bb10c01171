#!/bin/sh
# Installs what is missing for playing, builds the game and starts it from
# this folder, which holds img/ and sounds/. Without an X display it runs
# under Xvfb. Only the game is built: the tests and benchmarks, and what they
# need installed, are ./test.sh's.
#
# ./play.sh --web [PORT] builds the browser's version instead and serves it
# on http://127.0.0.1:PORT/ (8000 unless given) until Ctrl+C.
set -e
cd "$(dirname "$0")"

if [ "$1" = "--web" ]; then
    ./tools/install-deps.sh web
    ./tools/build-web.sh
    exec /usr/bin/python3 ./tools/serve_web.py "${2:-8000}"
fi

./tools/install-deps.sh play
# The tests and benchmarks are turned off every time: build/ is shared with
# ./test.sh, which turns them on, and CMake would keep that.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)" --target lumen

if [ -n "$DISPLAY" ]; then
    exec ./build/game/lumen
fi
echo "No X display found: starting the game under Xvfb (a virtual screen, nothing will show)."
exec xvfb-run -a -s "-screen 0 1280x1024x24" ./build/game/lumen
