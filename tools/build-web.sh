#!/bin/sh
# Builds the browser's game with Emscripten into build-web/site/: the page,
# the game's script and WebAssembly, and its pictures and sounds packed into
# data packs, with compressed copies. Offline: nothing is fetched while
# building.
set -e
cd "$(dirname "$0")/.."

# Emscripten's tools run on Node.js and find Debian's packaged modules only
# through NODE_PATH when the node on the PATH is not Debian's own.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web
cmake --build build-web -j"$(nproc)"
