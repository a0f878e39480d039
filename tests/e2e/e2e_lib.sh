#!/usr/bin/env bash
# The frame every end-to-end script runs in: skipping and failing, a work folder with what
# the script started cleaned up on exit, a private cupsd, the printer simulator, a GTK
# driver on a display with its own accessibility bus, and checks of `jobcontrol decode`.
#
#   source "$source_dir/tests/e2e/e2e_lib.sh"; e2e_begin NAME; ...; e2e_end
#
# The scripts name their programs source_dir, cli, bundle and simulator; these helpers use
# those names (jc runs the command with the bundle, bounded in time).
e2e_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
python=/usr/bin/python3  # the system's, with GObject introspection and pyatspi
source "$e2e_dir/private_cupsd.sh"

skip() { echo "SKIPPED: $*"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

need_root() { [ "$(id -u)" -eq 0 ] || skip "needs root to $1"; }
need_tools() {  # PACKAGES TOOL...: skips unless every TOOL is installed
  local packages="$1" tool; shift
  for tool in "$@"; do command -v "$tool" >/dev/null || skip "$tool is not installed ($packages)"; done
}

# What at_exit is given runs on exit, the last given first; the work folder goes last.
e2e_cleanups=()
at_exit() { e2e_cleanups=("$1" "${e2e_cleanups[@]}"); }
e2e_begin() {  # NAME: makes $work (/tmp/jc-NAME.*) and the user's settings folder in it
  work=$(mktemp -d "/tmp/jc-$1.XXXXXX")
  export XDG_CONFIG_HOME="$work/config"
  at_exit 'rm -rf "$work"'
  trap 'for e2e_step in "${e2e_cleanups[@]}"; do eval "$e2e_step"; done' EXIT
}
e2e_end() { [ "$failures" -eq 0 ] && echo "PASS" || { echo "$failures failure(s)"; exit 1; }; }

wait_until() {  # SECONDS COMMAND...: true once COMMAND is, asked every tenth of a second
  local tries=$(($1 * 10)); shift
  for _ in $(seq 1 "$tries"); do "$@" 2>/dev/null && return 0; sleep 0.1; done
  "$@" 2>/dev/null
}

e2e_cupsd() {  # the private cupsd of private_cupsd.sh with its queue jctest, stopped on exit
  at_exit stop_private_cupsd
  start_private_cupsd "$source_dir" >"$work/cupsd.out" 2>&1 || { cat "$work/cupsd.out"; exit 1; }
}

start_simulator() {  # PORT_FILE ARGUMENT...: the printer simulator, until its port is written
  "$simulator" --port-file "$1" "${@:2}" >>"$work/simulator.log" 2>&1 &
  sim_pid=$!
  at_exit "kill $sim_pid 2>/dev/null"
  wait_until 5 test -s "$1" || { echo "FAIL: the printer simulator did not start"; exit 1; }
}

expect_lines() {  # FILE LINE...: every LINE must be in FILE
  local file="$1" line; shift
  for line in "$@"; do grep -qF -- "$line" "$file" || fail "$(basename "$file") lacks \"$line\""; done
}

jc() { timeout 60 "$cli" --bundle "$bundle" "$@"; }

expect_decoded() {  # NAME OPTIONS_FILE [DECODE_ARGUMENT...] -- LINE...: decode passes and
  local name="$1" options="$2" args=() #   shows every LINE; its output is kept in $work/NAME
  shift 2
  while [ "$1" != -- ]; do args+=("$1"); shift; done
  shift
  jc decode "${args[@]}" "$options" >"$work/$name" ||
    fail "decode of $name found a failed check"
  cat "$work/$name"
  expect_lines "$work/$name" "$@"
}

# GTK's CUPS backend with no D-Bus at all: a bus that answers slowly (colord, avahi) would
# hold the backend up for its time-outs.
gtk_without_buses() {
  export GSK_RENDERER=cairo GSETTINGS_BACKEND=memory GTK_A11Y=none NO_AT_BRIDGE=1
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
}

# For drivers that work a dialog through the accessibility tree: skips unless root, cupsd,
# the accessibility bus, xdotool and the system Python's GTK 3 and pyatspi are there, and
# sets up applications as they come (no module named, GTK's own accessibility on). The
# system bus stays away: a bus that answers slowly would hold GTK's CUPS backend up.
need_accessible_gtk() {
  need_root "start cupsd"
  need_tools "cups, dbus, at-spi2-core, xdotool" /usr/sbin/cupsd lpadmin lpstat dbus-run-session \
    /usr/libexec/at-spi-bus-launcher xdotool
  "$python" -c 'import gi, pyatspi, cairo; gi.require_version("Gtk", "3.0")' 2>/dev/null ||
    skip "$python lacks GTK 3's introspection, pyatspi or cairo (gir1.2-gtk-3.0, python3-pyatspi, python3-gi-cairo)"
  unset GTK_MODULES GTK_PATH NO_AT_BRIDGE GTK_A11Y
  export GSETTINGS_BACKEND=memory DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
}

run_driver() {  # OUT SECONDS COMMAND...: a driver on a display; its output in OUT and OUT.err
  local out="$1" seconds="$2" status
  timeout "$seconds" "$source_dir/tests/hosts/gtk/with_display.sh" "${@:3}" >"$out" 2>"$out.err"
  status=$?
  cat "$out"
  [ "$status" -eq 77 ] && skip "$(grep SKIPPED "$out" || echo "no display")"
  if [ "$status" -ne 0 ]; then
    fail "$(basename "$out") ended with status $status"
    grep -v -e '^$' -e 'dbus-daemon' -e 'D-Bus' -e colord -e 'transient parent' "$out.err" | tail -20
  fi
}
run_accessible() {  # OUT SECONDS DRIVER ARGUMENT...: the Python DRIVER with its own session bus
  run_driver "$1" "$2" dbus-run-session -- "$python" "$e2e_dir/$3" "${@:4}"
}

driver_job() { awk -v label="$2" '$1 == "JOB" && $2 == label { print $3 }' "$1"; }  # OUT LABEL
