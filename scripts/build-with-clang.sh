#!/usr/bin/env bash
# Builds the program, its tests and benchmarks with clang in build-clang/ (build only: the tests run
# once, with gcc, in ./test.sh). Installs clang when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang
[ -f build-clang/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja
cmake --build build-clang
