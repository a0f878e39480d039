#!/usr/bin/env bash
# `jobcontrol print` beside `lp -o ...` with the same options to the same private cupsd:
# whole-process wall times, interleaved in one run, medians and their ratio.
#
#   bench/cli_print_bench.sh [BUILD_DIR] [ROUNDS]     (root and cupsd needed)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$source_dir/build/default}"
rounds="${2:-30}"
cli="$build/bin/jobcontrol"
page="$source_dir/tests/data/test-page.pdf"

work=$(mktemp -d /tmp/jc-bench.XXXXXX)
export XDG_CONFIG_HOME="$work/config"
source "$source_dir/tests/e2e/private_cupsd.sh"
trap 'stop_private_cupsd; rm -rf "$work"' EXIT
start_private_cupsd "$source_dir" >/dev/null 2>&1

entries=(retention=hold-only pass-code=1234 login-name=alice password=s3cret account-number=42
         job-name=report)
# The same options for lp: what the panel writes for these entries.
read -r -a lp_words <<<"$("$cli" set "${entries[@]}" --lp)"
eval "lp_args=(${lp_words[*]})"

now() { date +%s%N; }
cli_times=() lp_times=()
for ((i = 0; i < rounds; i++)); do
  t0=$(now); "$cli" print "$page" --printer jctest "${entries[@]}" >/dev/null; t1=$(now)
  lp -d jctest "${lp_args[@]}" "$page" >/dev/null; t2=$(now)
  cli_times+=($(((t1 - t0) / 1000))) lp_times+=($(((t2 - t1) / 1000)))
done
# Median and minimum of microsecond figures, in milliseconds.
stats() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.1f %.1f", m/1000, a[1]/1000}'; }
read -r cli_med cli_min <<<"$(stats "${cli_times[@]}")"
read -r lp_med lp_min <<<"$(stats "${lp_times[@]}")"
awk -v r="$rounds" -v cm="$cli_med" -v cn="$cli_min" -v lm="$lp_med" -v ln="$lp_min" 'BEGIN {
  printf "rounds %d\njobcontrol print  median %7.1f ms  min %7.1f ms\n", r, cm, cn
  printf "lp -o ...         median %7.1f ms  min %7.1f ms\nratio of medians %.2f\n", lm, ln, cm / lm }'
