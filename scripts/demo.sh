#!/usr/bin/env bash
# The main job: builds everything, then opens the Job Control panel on the built-in demo
# printer and prints the print settings it writes. Extra arguments go to `jobcontrol`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh default
exec build/default/bin/jobcontrol "${@:-set}"
