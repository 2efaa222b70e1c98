#!/usr/bin/env bash
# Packs the sample game's sources into a game folder: dat/*.dat, env.env, cursor.txt.
set -euo pipefail
src="$1"
out="$2"
mkdir -p "$out/dat"
