#!/usr/bin/env bash
# Time from start to the print dialog's first frame, `jobcontrol-print FILE` against the same
# dialog without the Job Control tab, in alternating runs; prints the medians and their ratio.
#
#   bench/gtk_first_frame.sh [BUILD_DIR] [RUNS]     (default build/default, 15 runs)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}" runs="${2:-15}"
program="$build/bin/jobcontrol-print"
# The build tree has the installed layout: the bundle sits where it is installed.
bundle="$build/lib/jobcontrol/JobControl.plugin"
page=tests/data/test-page.pdf
[ -x "$program" ] && [ -d "$bundle" ] || { echo "$0: no $program or $bundle" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi
export GSK_RENDERER=cairo GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 XDG_CONFIG_HOME=$(mktemp -d)
# No desktop bus: its time-outs would swamp what is measured.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

# Wall-clock milliseconds from exec to the first painted frame (the program exits there).
run() {
  local start end
  start=$(date +%s%N)
  "$program" --exit-on-first-frame --bundle "$bundle" "$@" "$page" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run >/dev/null; run --without-tab >/dev/null  # warm the caches
with=() without=()
for _ in $(seq 1 "$runs"); do
  with+=("$(run)")
  without+=("$(run --without-tab)")
done
m_with=$(printf '%s\n' "${with[@]}" | median)
m_without=$(printf '%s\n' "${without[@]}" | median)
echo "first frame, median of $runs: with tab ${m_with} ms, without ${m_without} ms," \
     "ratio $(awk -v a="$m_with" -v b="$m_without" 'BEGIN { printf "%.3f", a / b }')" \
     "(load $(cut -d' ' -f1-3 /proc/loadavg))"
