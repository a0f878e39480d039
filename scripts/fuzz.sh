#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time on a scratch copy
# of its seeds, printing the executions each made. A crash, leak or time-out fails.
# Usage: scripts/fuzz.sh [SECONDS-PER-TARGET]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"

# clang with its sanitizer and libFuzzer runtimes.
scripts/install-packages.sh clang libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
status=0
for target in parse_xml base64_decode hex_decipher reader preferences layout property_list \
    filter_options; do
  mkdir -p "$scratch/$target"
  extra=()
  [ -f "fuzz/$target.dict" ] && extra+=("-dict=fuzz/$target.dict")
  # A panel built afresh per input touches thousands of features; weighing them all after
  # every run (entropic scheduling) would take most of the time.
  case $target in reader | preferences | layout) extra+=("-entropic=0") ;; esac
  log="$scratch/$target.log"
  if build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$scratch/" "${extra[@]}" \
       "$scratch/$target" $([ -d "fuzz/corpus/$target" ] && echo "fuzz/corpus/$target") >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: $runs executions in ${seconds}s"
  else
    echo "fuzz_$target: FAILED"; tail -40 "$log"; status=1
  fi
done
exit $status
