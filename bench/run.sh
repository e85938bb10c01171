#!/bin/sh
# Installs what is missing, builds the benchmarks and runs them under a
# virtual X display (Mesa's software renderer), as the tests run; then builds
# the browser's game and measures it in headless Chromium. Extra arguments go
# to the native benchmark program (e.g. --benchmark_filter=Draw).
set -e
cd "$(dirname "$0")/.."

./tools/install-deps.sh test
# The benchmarks are asked for every time: ./play.sh, which shares build/,
# turns them off, and CMake would keep that.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMEN_BUILD_TESTS=ON -DLUMEN_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)" --target lumen_bench

xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bench/lumen_bench "$@"

./tools/build-web.sh
exec /usr/bin/python3 bench/web_bench.py
