#!/usr/bin/env bash
# Installs what is missing, builds the program and the sample game (nothing
# else: no tests, no benchmarks), and starts it. KU_JOBS limits the build jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=${KU_JOBS:-$(nproc)}
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target game
cd build/game
exec ./larkspin "$@"
