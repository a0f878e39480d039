#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [PRESET]   ("default" or "asan")
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/bootstrap.sh "$preset"
# The GTK host's tests need a display: without one, the whole run gets a private Xvfb.
run=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
"${run[@]}" ctest --preset "$preset" --output-on-failure
