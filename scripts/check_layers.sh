#!/usr/bin/env bash
# Fails when a source file includes a header of a peer layer or of a layer
# above its own, so the include graph between folders stays free of cycles.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(platform resources engine sound game scene adv modes gallery flow app)
mapfile -d '' files < <(find "${folders[@]}" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
awk '
  function node(path) {
    sub(/\/.*/, "", path)
    return path
  }
  BEGIN {
    rank["platform"] = 0; rank["resources"] = 1; rank["engine"] = 1; rank["sound"] = 2
    rank["game"] = 3; rank["scene"] = 4; rank["adv"] = 5; rank["modes"] = 6; rank["gallery"] = 7
    rank["flow"] = 8; rank["app"] = 9
  }
  /^[ \t]*#[ \t]*include[ \t]*"[a-z_]+\// {
    inc = $0
    sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
    from = node(FILENAME); to = node(inc)
    if (from == to) next
    # tests/, tools/ and bench/ are never included by the program.
    if (!(to in rank) || rank[to] >= rank[from]) {
      printf "layer violation: %s includes \"%s\"\n", FILENAME, inc > "/dev/stderr"
      bad = 1
    }
  }
  END {
    if (bad) {
      print "Includes point down only: app > flow > gallery > modes > adv > scene > game > sound > engine, resources > platform" > "/dev/stderr"
      exit 1
    }
    print "layers: ok"
  }' "${files[@]}"
