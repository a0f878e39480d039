#!/usr/bin/env bash
# The main job: builds everything, then a short tour of the Job Control panel on the
# built-in demo printer with the printer simulator answering its folder requests:
# show, set with a locked pass code, folders (and a failing one), decode, and a few mistakes
# on purpose. The simulator is stopped at the end.
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
# A step that is meant to fail: the tour goes on, showing what the user is told.
mistake() { printf '\n%s$ %s%s   (a mistake on purpose)\n' "$bold" "$*" "$plain"; "$@" || true; }

# Secrets come from a private file (or the terminal, without echo), never the command line.
printf 'pass-code=1234\npassword=s3cret\nfolder-pass-code=77\n' >"$tour/secrets"
chmod 600 "$tour/secrets"
jc=("$bin/jobcontrol" --demo)
step "${jc[@]}" show
mistake "${jc[@]}" set pass-code=1234
step "${jc[@]}" set --secrets-file "$tour/secrets" retention=hold-only pass-code=- lock=pass-code \
  login-name=alice password=- account-number=42 --out "$tour/job.options"
step "${jc[@]}" show
step "${jc[@]}" folders --address "$address"
mistake "${jc[@]}" folders --address 127.0.0.1:1
step "${jc[@]}" set --secrets-file "$tour/secrets" retention=hold-only filing=Board \
  folder-pass-code=- --lp
mistake "${jc[@]}" set retension=hold-only
step "$bin/jobcontrol" decode --pass-code 1234 "$tour/job.options"
printf '\nThe pass code stays locked for the demo printer (unlock=pass-code frees it). For a real\n'
printf 'queue: jobcontrol printers, then jobcontrol print -d QUEUE [-o NAME=VALUE] [-n N] FILE ...\n'
