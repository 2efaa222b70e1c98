#!/usr/bin/env bash
# Fails when a file outside platform/backend/ includes a header of the
# libraries or system interfaces the platform backend wraps (SDL2, FreeType,
# fontconfig, FFmpeg, iconv, POSIX files, sockets and processes), or a header
# of the backend itself. Run by scripts/test.sh, hence by CI.
set -euo pipefail
cd "$(dirname "$0")/.."

libs='SDL[^>"]*|ft2build\.h|freetype/[^>"]*|fontconfig/[^>"]*|libav[a-z]*/[^>"]*|libsw[a-z]*/[^>"]*|iconv\.h'
posix='linux/[^>"]*|unistd\.h|fcntl\.h|dirent\.h|poll\.h|pwd\.h|signal\.h|sys/[^>"]*|netinet/[^>"]*|arpa/[^>"]*'
backend='platform/backend/[^>"]*'

# Files that may include a library header: tests of the backend itself (they
# inject SDL events and read what SDL shows), the benchmark that measures
# SDL's software renderer beside ours, and the idle measurement's baseline
# program and its preloaded probe (they stand outside the game).
lib_allowed=(
    tests/app/app_test_util.h
    tests/app/dialog_test.cpp
    tests/app/shell_e2e_test.cpp
    tests/app/window_test.cpp
    tests/video/present_test.cpp
    bench/video_bench.cpp
    bench/idle/idle_baseline.cpp
    bench/idle/idle_probe.cpp
)
# Folders that may include POSIX headers: test fixtures (unreadable files,
# a second process), benchmarks and host tools are not the game.
posix_allowed='^(tests|bench|tools)/'

is_lib_allowed() {
    local a
    for a in "${lib_allowed[@]}"; do
        [ "$1" = "$a" ] && return 0
    done
    return 1
}

# Every source file, NUL-separated, relative to the top (build folders left out).
source_files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard -- '*.h' '*.hpp' '*.cpp' '*.cc' '*.c'
    else
        find . \( -path './build*' -o -path './.git' \) -prune -o -type f \
            \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.c' \) -printf '%P\0'
    fi
}

open='[<"]'
close='[>"]'
# One grep over every source file, then the allow-lists on the few hits.
fail=0
while IFS= read -r hit; do
    f=${hit%%:*}
    line=${hit#*:}
    text=${line#*:}
    if [[ "$text" =~ $open($backend)$close ]]; then
        :
    elif [[ "$text" =~ $open($libs)$close ]]; then
        is_lib_allowed "$f" && continue
    elif [[ "$f" =~ $posix_allowed ]]; then
        continue
    fi
    echo "check_seams: $f:${line%%:*}: only platform/backend/ may include ${text#*include}" >&2
    fail=1
done < <(source_files | grep -zv '^platform/backend/' |
    xargs -0 grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*$open($backend|$libs|$posix)$close" || true)

if [ "$fail" != 0 ]; then
    echo "check_seams: library and system headers belong to platform/backend/ (see platform/CMakeLists.txt)" >&2
    exit 1
fi
echo "check_seams: ok"
