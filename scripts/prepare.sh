#!/usr/bin/env bash
# Installs what the build needs when it is missing, then configures and builds in build/.
# Safe to run again: it installs nothing that is there and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-packages.sh g++ cmake ninja-build qt6-base-dev libjpeg62-turbo-dev libgtest-dev \
  libjpeg-turbo-progs fonts-wqy-microhei

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja
cmake --build build
