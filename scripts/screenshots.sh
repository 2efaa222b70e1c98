#!/usr/bin/env bash
# Makes the README's screenshots under docs/ from the built sample game:
# build/tools/gameshots plays a copy of it headless on a fake clock, as
# docs/screenshots.plan says, so the pictures come out the same every time.
# They are kept at the game's own size (800 x 600); ImageMagick's convert,
# when present, packs them small.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target gameshots game >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game" "$work/shots"
cp -r build/game/dat build/game/env.env build/game/cursor.txt "$work/game/"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy build/tools/gameshots "$work/game" "$work/shots" <docs/screenshots.plan \
  >"$work/log.txt" 2>&1 || { cat "$work/log.txt"; exit 1; }
for shot in "$work"/shots/*.png; do
  out="docs/screenshot_$(basename "$shot")"
  if convert -version 2>/dev/null | grep -q ImageMagick; then
    convert "$shot" -define png:compression-level=9 "$out"
  else
    cp "$shot" "$out"
  fi
  echo "$out"
done
