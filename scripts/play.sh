#!/usr/bin/env bash
# Installs what is missing, builds the program and the sample game, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cmake --build build --target game
cd build/game
exec ./larkspin "$@"
