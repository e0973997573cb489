#!/usr/bin/env bash
# Builds everything with clang, AddressSanitizer and UBSan (leaks detected) and the fuzz target in
# build-fuzz/, runs every test there, then fuzzes the picture road for 60 s from a seed corpus made
# afresh. Any finding fails the run: a crash, a leak, undefined behaviour, an input that takes over
# 5 s or more than 2 GB of memory; the fuzzer keeps the input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh clang libclang-rt-14-dev cmake ninja-build qt6-base-dev \
  libjpeg62-turbo-dev libgtest-dev libjpeg-turbo-progs
[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
  -DCORVANTIS_FUZZ=ON -DCORVANTIS_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz

# Qt, fontconfig and the X libraries are not built with the sanitizer; what they keep until exit
# is theirs, not a leak of this program.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt print_suppressions=0 ${LSAN_OPTIONS:-}"
export ASAN_OPTIONS="detect_leaks=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1 ${UBSAN_OPTIONS:-}"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-fuzz --no-tests=error --output-on-failure \
  --parallel 2 "$@"

rm -rf build-fuzz/seeds
scripts/make-fuzz-seeds.sh build-fuzz/seeds build-fuzz/make_cmyk_seed
mkdir -p build-fuzz/corpus build-fuzz/findings
build-fuzz/picture_fuzzer -max_total_time=60 -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus build-fuzz/seeds
