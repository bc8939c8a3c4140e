#!/bin/sh
# Builds everything and starts the game (Debian 12, as root or with sudo).
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build && exec ./voltrace2
