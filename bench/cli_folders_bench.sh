#!/usr/bin/env bash
# `jobcontrol folders` beside curl posting the same request to the same printer simulator,
# for growing folder lists: whole processes in interleaved pairs, medians of wall and CPU
# time, their ratios and peak resident sizes (bench/pairs.py).
#
#   bench/cli_folders_bench.sh [BUILD_DIR] [ROUNDS] [FOLDER COUNTS...]   (not for CI)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$source_dir/build/default}"
rounds="${2:-30}"
shift $(($# > 2 ? 2 : $#))
counts=("${@:-10}")
[ $# -gt 0 ] || counts=(10 10000 100000)
cli="$build/bin/jobcontrol"
simulator="$build/bin/printer-simulator"
pairs="$source_dir/bench/pairs.py"
request="$source_dir/bundle/listfiles.xml"

work=$(mktemp -d /tmp/jc-bench.XXXXXX)
export XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
sim_pid=
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT

for n in "${counts[@]}"; do
  rm -f "$work/port"
  "$simulator" --quiet --folders "$n" --port-file "$work/port" >/dev/null 2>&1 &
  sim_pid=$!
  for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  address="127.0.0.1:$(cat "$work/port")"
  length=$(stat -c %s "$request")
  # Fewer rounds for the long lists: each takes a while, and their medians settle fast.
  r=$rounds; [ "$n" -ge 10000 ] && r=$(((rounds + 2) / 3))
  # The panel keeps at most 10,000 folders and says so: above that, `folders` lists the
  # ones kept and exits with status 1.
  status=0; [ "$n" -gt 10000 ] && status=1
  echo "== $n folders: jobcontrol folders vs curl POST ($address)"
  python3 "$pairs" --rounds "$r" --label-a "jobcontrol folders" --label-b "curl POST" \
    --status-a "$status" \
    "$cli folders --address $address" \
    "curl -sS -f -o $work/curl.xml -H 'SOAPAction: \"SoapActionDummy\"' \
      -H 'Content-Type: application/soap; charset=\"utf-8\"' -H 'Content-Length: $length' \
      -H 'Expect:' --data-binary @$request http://$address/vorelia-mfp-srv"
  kill "$sim_pid"; wait "$sim_pid" 2>/dev/null || true; sim_pid=
done
