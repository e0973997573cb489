#!/usr/bin/env bash
# Installs what the build needs when it is missing, then configures and builds in build/.
# Safe to run again: it installs nothing that is there and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build qt6-base-dev libjpeg62-turbo-dev libgtest-dev
          libjpeg-turbo-progs fonts-wqy-microhei)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build
