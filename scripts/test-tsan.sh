#!/usr/bin/env bash
# Builds the tests of the code that runs on worker threads with ThreadSanitizer in build-tsan/ and
# runs them; any data race fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh g++ cmake ninja-build qt6-base-dev libjpeg62-turbo-dev libgtest-dev
[ -f build-tsan/build.ninja ] ||
  cmake -S . -B build-tsan -G Ninja -DCORVANTIS_TSAN=ON -DCORVANTIS_BUILD_BENCHMARKS=OFF
programs=(decode_ahead_tests command_tests)
cmake --build build-tsan --target "${programs[@]}"
# Qt and libjpeg are not built with the sanitizer: what the C library does on their behalf (Qt's
# own thread pool allocating and freeing with atomics the sanitizer cannot see) is left out, while
# every access of the program's own code stays checked.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1 ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen
for program in "${programs[@]}"; do
  build-tsan/"$program" --gtest_brief=1
done
