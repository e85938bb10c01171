#!/bin/sh
# Installs what is missing, builds everything and runs every test, twice:
# once as the game ships, once built with AddressSanitizer and
# UndefinedBehaviorSanitizer, which turn memory faults, leaks and undefined
# behaviour into failures. The tests that need OpenGL get a virtual X
# display (Xvfb) with Mesa's software renderer; the ones that play sound use
# SDL's dummy and disk audio drivers. The browser's version is built first,
# so that the suite can play it in headless Chromium.
set -e
cd "$(dirname "$0")"

./tools/install-deps.sh test
./tools/build-web.sh

run_suite() { # build folder, then extra CMake options
    folder=$1
    shift
    # The tests and benchmarks are asked for every time: ./play.sh, which
    # shares build/, turns them off, and CMake would keep that.
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLUMEN_BUILD_TESTS=ON -DLUMEN_BUILD_BENCHMARKS=ON "$@"
    cmake --build "$folder" -j"$(nproc)"
    # One test at a time: the end-to-end tests each start the real game window.
    (cd "$folder" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300)
}

run_suite build -DLUMEN_SANITIZE=OFF
echo "Every test passed; now the same suite built with the sanitizers."
run_suite build-sanitize -DLUMEN_SANITIZE=ON
