#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize, builds into
# build-asan with AddressSanitizer and UndefinedBehaviorSanitizer instead.
# With --tsan, builds the threaded test programs into build-tsan with
# ThreadSanitizer and runs their threaded tests (rasteriser bands, audio
# output threads, the CD reader thread).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_seams.sh
scripts/check_layers.sh
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
jobs=${KU_JOBS:-$(nproc)} # parallel build and test jobs
if [ "${1:-}" = "--tsan" ]; then
  cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKU_TSAN=ON >/dev/null
  cmake --build build-tsan -j"$jobs" --target video_tests audio_tests sound_tests
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  (cd build-tsan/tests/video && ./video_tests --gtest_filter='RasterTest.*')
  (cd build-tsan/tests/audio && ./audio_tests --gtest_filter='*Output*:MediaGraphTest.*')
  (cd build-tsan/tests/sound && ./sound_tests --gtest_filter='CdDigitalTest.*')
  exit 0
fi
dir=build
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  args=(-DCMAKE_BUILD_TYPE=Debug -DKU_SANITIZE=ON)
fi
cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j"$jobs"
cmake --build "$dir" --target game
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j"$jobs"
