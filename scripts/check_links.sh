#!/usr/bin/env bash
# Fails when the folder libraries call each other in a cycle: for each
# library built in ./build, which other libraries define the symbols it
# needs (nm), then the strongly connected groups of that graph. The one pair
# allowed is ku_platform with its backend: the emulation declares functions
# that only the backend defines (see platform/CMakeLists.txt). Includes are
# checked by scripts/check_layers.sh; this checks what the linker sees.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t libs < <(find "$build/lib" -name 'libku_*.a' | sort)
[ ${#libs[@]} -gt 0 ] || { echo "check_links: no libraries under $build/lib (build first)" >&2; exit 1; }
python3 - "${libs[@]}" <<'PY'
import os, subprocess, sys
def syms(path, *opts):
    out = subprocess.run(["nm", "-g", *opts, path], capture_output=True, text=True, check=True).stdout
    return [l.split()[-2:] for l in out.splitlines() if len(l.split()) >= 2]
defined, needs = {}, {}
for p in sys.argv[1:]:
    name = os.path.basename(p)[3:-2]
    defined[name] = {s for t, s in syms(p, "--defined-only") if t in "TDBR"}
    needs[name] = {s for t, s in syms(p, "-u") if t == "U"} - defined[name]
owner = {s: n for n, d in defined.items() for s in d}
graph = {n: {owner[s] for s in u if s in owner} - {n} for n, u in needs.items()}
index, low, stack, groups = {}, {}, [], []
def visit(v):
    index[v] = low[v] = len(index); stack.append(v)
    for w in graph[v]:
        if w not in index: visit(w); low[v] = min(low[v], low[w])
        elif w in stack: low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        group = []
        while not group or group[-1] != v: group.append(stack.pop())
        groups.append(sorted(group))
for v in sorted(graph):
    if v not in index: visit(v)
bad = [g for g in groups if len(g) > 1 and g != ["ku_platform", "ku_platform_backend"]]
for g in bad:
    print("check_links: libraries that call each other in a cycle:", " ".join(g), file=sys.stderr)
sys.exit(1 if bad else print("check_links: ok") or 0)
PY
