#!/usr/bin/env bash
# Builds Corvantis and its tests when needed and runs every test: GUI tests on Qt's offscreen
# platform, so no display is needed, and the real-window tests on a virtual X server of their own;
# then the same tests built with clang, AddressSanitizer and UBSan, and 60 s of the fuzzer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/prepare.sh
# The real-window tests' X server and pointer, and the package test's dpkg-shlibdeps.
scripts/install-packages.sh xvfb xdotool dpkg-dev file desktop-file-utils
QT_QPA_PLATFORM=offscreen ctest --test-dir build --no-tests=error --output-on-failure --parallel 2 "$@"
# Every test again with AddressSanitizer and UBSan, then a minute of fuzzing the picture road.
scripts/test-sanitized.sh "$@"
