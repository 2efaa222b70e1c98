#!/usr/bin/env bash
# Installs the Debian packages the project needs; quick when all are there.
set -euo pipefail
packages=(
  g++ cmake make pkg-config clang-tidy
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-ipafont-gothic
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev ffmpeg
  libgtest-dev libgmock-dev googletest libbenchmark-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
