#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source file of the
# program, its tools, tests and benchmarks (not build folders, not system
# headers), in parallel. Fails on any finding. Needs the compile commands that
# the CMake configure step exports (build/compile_commands.json).
# Usage: scripts/tidy.sh [path-regex]   e.g. scripts/tidy.sh 'sound/kud'
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KU_TIDY_BUILD:-build}
jobs=${KU_JOBS:-$(nproc)}
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)

[ -f "$build/compile_commands.json" ] ||
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

folders='adv|app|bench|engine|flow|game|gallery|modes|platform|resources|scene|sound|tests|tools'
header_filter="^$root/($folders)/"
files="^$root/${1:-($folders)/}"
# clang knows no CP932 execution charset; the checks do not depend on it.
extra=-extra-arg=-fexec-charset=UTF-8

noise=(-e 'warnings\? generated\.' -e 'Suppressed [0-9]* warnings' -e 'Use -header-filter=')
set +e +o pipefail
if command -v run-clang-tidy-14 >/dev/null; then
  run-clang-tidy-14 -quiet -clang-tidy-binary "$tidy" -p "$build" -j "$jobs" \
    -header-filter "$header_filter" "$extra" "$files" 2>&1 | grep -v "${noise[@]}"
  status=${PIPESTATUS[0]}
else
  python3 -c 'import json, sys
for e in json.load(open(sys.argv[1])): print(e["file"])' "$build/compile_commands.json" |
    grep -E "$files" | sort -u |
    xargs -P "$jobs" -n 1 "$tidy" --quiet -p "$build" --header-filter="$header_filter" "$extra" 2>&1 |
    grep -v "${noise[@]}"
  status=${PIPESTATUS[3]}
fi
set -e -o pipefail
if [ "$status" != 0 ]; then
  echo "tidy: findings above (fix them, or silence a false positive with NOLINT(check) and a reason)" >&2
  exit 1
fi
echo "tidy: ok"
