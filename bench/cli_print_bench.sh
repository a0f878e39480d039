#!/usr/bin/env bash
# `jobcontrol print` beside `lp -o ...` with the same options to the same private cupsd,
# and `jobcontrol show` beside `lpoptions -l` for the same queue: whole processes in
# interleaved pairs, medians of wall and CPU time and their ratios (bench/pairs.py).
#
#   bench/cli_print_bench.sh [BUILD_DIR] [ROUNDS]     (root and cupsd needed; not for CI)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$source_dir/build/default}"
rounds="${2:-30}"
cli="$build/bin/jobcontrol"
page="$source_dir/tests/data/test-page.pdf"
pairs="$source_dir/bench/pairs.py"

work=$(mktemp -d /tmp/jc-bench.XXXXXX)
export XDG_CONFIG_HOME="$work/config" TMPDIR="$work"
source "$source_dir/tests/e2e/private_cupsd.sh"
trap 'stop_private_cupsd; rm -rf "$work"' EXIT
start_private_cupsd "$source_dir" >/dev/null 2>&1

entries=(retention=hold-only pass-code=1234 login-name=alice password=s3cret account-number=42
         job-name=report)
# The same options for lp: what the panel writes for these entries.
lp_words="$("$cli" set "${entries[@]}" --lp)"

echo "== jobcontrol print vs lp -o (private cupsd $CUPS_SERVER)"
python3 "$pairs" --rounds "$rounds" --label-a "jobcontrol print" --label-b "lp -o" \
  "$cli print $page --printer jctest ${entries[*]}" "lp -d jctest $lp_words $page"
# Old jobs would slow the scheduler down as the run goes on.
cancel -a jctest >/dev/null 2>&1 || true

echo "== jobcontrol show vs lpoptions -l"
python3 "$pairs" --rounds "$rounds" --label-a "jobcontrol show" --label-b "lpoptions -l" \
  "$cli show --printer jctest" "lpoptions -p jctest -l"
