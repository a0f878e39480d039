#!/usr/bin/env bash
# What jobcontrol-filter costs a job: the wrapper in front of a real filter (cups-filters'
# pdftopdf, on a 1-page PDF) beside that filter alone with the options a dialog sends, run
# as cupsd runs them; whole processes in interleaved pairs (bench/pairs.py). The queue's
# PPD is made by `jobcontrol queue enable` on a private cupsd.
#
#   bench/filter_bench.sh [BUILD_DIR] [ROUNDS]     (root, cupsd and pdftopdf needed)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$source_dir/build/default}"
rounds="${2:-40}"
page="$source_dir/tests/data/test-page.pdf"
real="$(cups-config --serverbin)/filter/pdftopdf"
[ -x "$real" ] || { echo "pdftopdf is not installed (cups-filters)"; exit 1; }

work=$(mktemp -d /tmp/jc-bench.XXXXXX)
export XDG_CONFIG_HOME="$work/config"
source "$source_dir/tests/e2e/private_cupsd.sh"
trap 'stop_private_cupsd; rm -rf "$work"' EXIT
start_private_cupsd "$source_dir" >/dev/null 2>&1
cp "$JC_CUPS_DIR/ppd/jctest.ppd" "$work/original.ppd"
"$build/bin/jobcontrol" --bundle "$build/lib/jobcontrol/JobControl.plugin" queue enable jctest \
  --filter "$build/bin/jobcontrol-filter" >/dev/null 2>&1
sed "s|^\*JCRealFilter: .*|*JCRealFilter: \"$real\"|" "$JC_CUPS_DIR/ppd/jctest.ppd" >"$work/enabled.ppd"

options="media=A4 JCRetention=HoldOnly JCPassCode=Custom.1234 JCAuthentication=Login"
options+=" JCLoginName=Custom.alice JCPassword=Custom.s3cret JCAccountNumber=Custom.42"
filter_env="env TMPDIR=$work PRINTER=jctest CONTENT_TYPE=application/pdf"
echo "== jobcontrol-filter + pdftopdf vs pdftopdf alone (1-page PDF)"
python3 "$source_dir/bench/pairs.py" --rounds "$rounds" --label-a "wrapper + pdftopdf" \
  --label-b "pdftopdf" \
  "$filter_env PPD=$work/enabled.ppd $build/bin/jobcontrol-filter 1 alice report 1 '$options' $page" \
  "$filter_env PPD=$work/original.ppd $real 1 alice report 1 '$options' $page"
