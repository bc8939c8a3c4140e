#!/bin/sh
# Builds everything with warnings as errors and runs every test, headless.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j"$(nproc)"
# A short fuzzing run of each target and a soak, under the sanitizers.
cd ..
tools/fuzz.sh 25 10000
