#!/usr/bin/env bash
# Builds Corvantis and its tests when needed and runs every test (GUI tests on Qt's offscreen
# platform, so no display is needed).
set -euo pipefail
cd "$(dirname "$0")"
scripts/prepare.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --no-tests=error --output-on-failure --parallel 2 "$@"
