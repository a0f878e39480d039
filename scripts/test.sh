#!/usr/bin/env bash
# Builds and runs every test. Usage: scripts/test.sh [PRESET]   ("default" or "asan")
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
scripts/bootstrap.sh "$preset"
ctest --preset "$preset" --output-on-failure
