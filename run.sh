#!/usr/bin/env bash
# Builds Corvantis when needed and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/prepare.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on: run it from a desktop session, or under a virtual one with: xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec build/corvantis
