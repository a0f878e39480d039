#!/usr/bin/env bash
# The main job: builds everything, then a short tour of the Job Control panel on the
# built-in demo printer with the printer simulator answering its folder requests:
# show, set with a held pass code, folders, decode. The simulator is stopped at the end.
# With arguments, runs `jobcontrol` with them instead of the tour.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh default
bin=build/default/bin
[ $# -gt 0 ] && exec "$bin/jobcontrol" "$@"

# The tour keeps its preferences and files to itself.
tour=$(mktemp -d /tmp/jobcontrol-tour.XXXXXX)
export XDG_CONFIG_HOME="$tour/config"
"$bin/printer-simulator" --port-file "$tour/port" --folder Sales --folder "Board,password" \
  >"$tour/simulator.log" 2>&1 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null; rm -rf "$tour"' EXIT
for _ in $(seq 1 50); do [ -s "$tour/port" ] && break; sleep 0.1; done
address="127.0.0.1:$(cat "$tour/port")"

if [ -t 1 ]; then bold=$'\033[1m' plain=$'\033[0m'; else bold= plain=; fi
step() { printf '\n%s$ %s%s\n' "$bold" "$*" "$plain"; "$@"; }
step "$bin/jobcontrol" show
step "$bin/jobcontrol" set retention=hold-only pass-code=1234 hold=pass-code \
  login-name=alice password=s3cret account-number=42 --out "$tour/job.options"
step "$bin/jobcontrol" show
step "$bin/jobcontrol" folders --address "$address"
step "$bin/jobcontrol" set retention=hold-only filing=Board folder-pass-code=77 --lp
step "$bin/jobcontrol" decode --pass-code 1234 "$tour/job.options"
printf '\nThe pass code stayed held for the demo printer; a real queue: jobcontrol print FILE --printer QUEUE ...\n'
