#!/bin/sh
# Installs what is missing, builds everything and runs every test. The tests
# that need OpenGL get a virtual X display (Xvfb) with Mesa's software
# renderer; the ones that play sound use SDL's dummy and disk audio drivers.
set -e
cd "$(dirname "$0")"

./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

cd build
# One test at a time: the end-to-end tests each start the real game window.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300
