#!/usr/bin/env bash
# End to end through ordinary GTK 3 and GTK 4 applications, with no module of ours: a queue
# that carries Job Control shows its group in GTK's "Advanced" tab, the choices made there
# (driven through the accessibility tree) pass jobcontrol-filter, and `jobcontrol decode`
# finds them in the options the real filter got.
#
#   queue_dialogs_e2e.sh SOURCE_DIR JOBCONTROL BUNDLE FILTER
#
# Exits 77 (skipped) without root, cupsd, a display or the accessibility bus.
set -uo pipefail
source_dir="$1" cli="$2" bundle="$3" wrapper="$4"
python=/usr/bin/python3  # the system's, with GObject introspection and pyatspi
e2e="$source_dir/tests/e2e"

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to start cupsd"
for tool in /usr/sbin/cupsd lpadmin lpstat dbus-run-session /usr/libexec/at-spi-bus-launcher xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (cups, dbus, at-spi2-core, xdotool)"
done
"$python" -c 'import gi, pyatspi, cairo; gi.require_version("Gtk", "3.0")' 2>/dev/null ||
  skip "$python lacks GTK 3's introspection, pyatspi or cairo (gir1.2-gtk-3.0, python3-pyatspi, python3-gi-cairo)"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d /tmp/jc-queue-dialogs.XXXXXX)
source "$e2e/private_cupsd.sh"
trap 'stop_private_cupsd; rm -rf "$work"' EXIT
start_private_cupsd "$source_dir" >"$work/cupsd.out" 2>&1 || { cat "$work/cupsd.out"; exit 1; }
timeout 60 "$cli" --bundle "$bundle" queue enable jctest --filter "$wrapper" >"$work/enable.out" 2>&1 ||
  { cat "$work/enable.out"; echo "FAIL: enable"; exit 1; }

# Applications as they come: no module named anywhere, GTK's own accessibility on. The
# system bus stays away: a bus that answers slowly would hold GTK's CUPS backend up.
export XDG_CONFIG_HOME="$work/config"
unset GTK_MODULES GTK_PATH NO_AT_BRIDGE GTK_A11Y
export GSETTINGS_BACKEND=memory DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
# A filter built with AddressSanitizer runs under cupsd: what GTK's applications allocate is
# not what this test looks at, and the system Python is not built with it.
unset LD_PRELOAD ASAN_OPTIONS

drive() {  # TOOLKIT APPLICATION...: the driver's output; the job's id in $work/job-TOOLKIT
  local toolkit="$1"; shift
  rm -f "$JC_CUPS_DIR"/capture/*
  timeout 120 "$source_dir/tests/hosts/gtk/with_display.sh" dbus-run-session -- \
    "$python" "$e2e/queue_dialogs_driver.py" --toolkit "$toolkit" --queue jctest \
    --capture "$JC_CUPS_DIR/capture" -- "$python" "$@" \
    >"$work/driver-$toolkit.out" 2>"$work/driver-$toolkit.err"
  local status=$?
  cat "$work/driver-$toolkit.out"
  [ "$status" -eq 77 ] && skip "$(grep SKIPPED "$work/driver-$toolkit.out" || echo "no display")"
  if [ "$status" -ne 0 ]; then
    fail "the GTK $toolkit driver ended with status $status"
    grep -v -e '^$' -e 'dbus-daemon' -e 'D-Bus' -e colord "$work/driver-$toolkit.err" | tail -20
  fi
  awk '$1 == "JOB" { print $3 }' "$work/driver-$toolkit.out" >"$work/job-$toolkit"
}

# TOOLKIT|APPLICATION|DECODE OPTIONS|LINES decode must show (";" between them). GTK 4's
# choices: Hold Only with Quick File; a quick-filed job is held after printing, so
# "hold-after" shows both choices came through (Hold Only alone would stay hold-only, Quick
# File alone is refused).
while IFS='|' read -r toolkit app decode_options lines; do
  if [ "$toolkit" = 4 ] && ! "$python" -c 'import gi; gi.require_version("Gtk", "4.0")' 2>/dev/null; then
    echo "GTK 4 not checked: no introspection for it (gir1.2-gtk-4.0)"
    continue
  fi
  # shellcheck disable=SC2086
  drive "$toolkit" $app
  id=$(cat "$work/job-$toolkit")
  [ -n "$id" ] || { fail "no job from GTK $toolkit"; continue; }
  options="$JC_CUPS_DIR/capture/$id.options"
  grep -q 'JC[A-Z][A-Za-z]*=' "$options" && fail "GTK $toolkit: the real filter got Job Control's own options"
  # shellcheck disable=SC2086
  timeout 30 "$cli" --bundle "$bundle" decode $decode_options "$options" >"$work/decoded-$toolkit" ||
    fail "GTK $toolkit: decode found a failed check: $(cat "$work/decoded-$toolkit")"
  IFS=';' read -ra expected <<<"$lines"
  for line in "${expected[@]}"; do
    grep -qF -- "$line" "$work/decoded-$toolkit" || fail "GTK $toolkit: decode lacks \"$line\""
  done
done <<CHECKS
3|$e2e/gtk_plain_app.py $work/app-settings.ini|--pass-code 1234|retention: hold-only;\
pass-code: 1234  (jobSuspend2Key;ok: jobSuspendKey matches the given pass-code 1234;job-name: plain page 1
4|$e2e/gtk4_plain_app.py||retention: hold-after;filing: none;job-name: plain page 1
CHECKS

[ "$failures" -eq 0 ] && echo "PASS" || { echo "$failures failure(s)"; exit 1; }
