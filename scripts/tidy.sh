#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over every source under src/ in the default
# build's compile_commands.json; exits non-zero on any finding. Configure the default
# preset first (scripts/bootstrap.sh default). Takes several minutes on two cores.
# Usage: scripts/tidy.sh [-j N] [FILE-REGEX]
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=2
if [[ "${1:-}" == "-j" ]]; then
  jobs="$2"
  shift 2
fi
filter="${1:-/src/}"
database=build/default
if [[ ! -f "$database/compile_commands.json" ]]; then
  echo "tidy.sh: no $database/compile_commands.json; run scripts/bootstrap.sh default" >&2
  exit 1
fi
# The build uses GCC; clang-tidy parses with clang, which does not know every GCC
# warning option the build names.
run-clang-tidy -quiet -p "$database" -j "$jobs" \
  -extra-arg=-Wno-unknown-warning-option "$filter"
