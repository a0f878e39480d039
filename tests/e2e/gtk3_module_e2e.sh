#!/usr/bin/env bash
# End to end through an ordinary GTK 3 application that knows nothing of Job Control: the
# GTK 3 module is switched on as a user's settings.ini switches it on, the application's
# print dialog is driven through the accessibility tree against a private cupsd with a queue
# of the family and one of another maker, and `jobcontrol decode` checks what the filter got.
#
#   gtk3_module_e2e.sh SOURCE_DIR JOBCONTROL BUNDLE PRINTER_SIMULATOR GTK_PATH
#
# GTK_PATH is the folder GTK 3 searches for modules/ (build/<preset>/lib/gtk-3.0). Exits 77
# (skipped) without root, cupsd, a display, the accessibility bus, or a built module.
set -uo pipefail
source_dir="$1" cli="$2" bundle="$3" simulator="$4" gtk_path="$5"
module="$gtk_path/modules/libjobcontrol-gtk3-module.so"
python=/usr/bin/python3  # the system's, with GObject introspection and pyatspi

skip() { echo "SKIPPED: $*"; exit 77; }
[ -f "$module" ] || skip "the GTK 3 module is not built here: no $module"
[ "$(id -u)" -eq 0 ] || skip "needs root to start cupsd"
for tool in /usr/sbin/cupsd lpadmin lpstat dbus-run-session /usr/libexec/at-spi-bus-launcher xdotool; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (cups, dbus, at-spi2-core, xdotool)"
done
"$python" -c 'import gi, pyatspi, cairo; gi.require_version("Gtk", "3.0")' 2>/dev/null ||
  skip "$python lacks GTK 3's introspection, pyatspi or cairo (gir1.2-gtk-3.0, python3-pyatspi, python3-gi-cairo)"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d /tmp/jc-gtk3-e2e.XXXXXX)
sim_pid=
source "$source_dir/tests/e2e/private_cupsd.sh"
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; stop_private_cupsd; rm -rf "$work"' EXIT
start_private_cupsd "$source_dir" >"$work/cupsd.out" 2>&1 || { cat "$work/cupsd.out"; exit 1; }
# Another maker's queue: the same capturing filter under a PPD that is not the family's.
sed -e 's/Vorelia MFP Demo 630e/Acme Office 10/g; s/"Vorelia"/"Acme"/; s/(Vorelia MFP Demo)/(Acme Office)/' \
  -e 's/, Job Control//' "$JC_CUPS_DIR/ppd/jctest.ppd" >"$JC_CUPS_DIR/ppd/acme.ppd"
lpadmin -p acme -E -v file:///dev/null -P "$JC_CUPS_DIR/ppd/acme.ppd" 2>/dev/null &&
  cupsenable acme && cupsaccept acme || { echo "FAIL: the other maker's queue"; exit 1; }

# A printer that answers after a while, so the dialog can be seen busy and answering.
"$simulator" --port-file "$work/port" --folder Sales --fault delay --delay-ms 3000 \
  >"$work/simulator.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || { echo "FAIL: the printer simulator did not start"; exit 1; }

# The switch a user's settings make: GTK 3 reads gtk-modules from settings.ini and finds
# the module by name in GTK_PATH.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
printf '[Settings]\ngtk-modules=jobcontrol-gtk3-module\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
export GTK_PATH="$gtk_path"
# GTK 3 speaks to assistive technologies unless told not to. The system bus stays away: a
# bus that answers slowly (colord, avahi) would hold GTK's CUPS backend up.
unset NO_AT_BRIDGE GTK_A11Y
export GSETTINGS_BACKEND=memory DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent
app=("$python" "$source_dir/tests/e2e/gtk_plain_app.py" "$work/app-settings.ini")
demo=()  # GTK's own printing demonstration, when installed (gtk-3-examples)
command -v gtk3-demo >/dev/null && demo=(gtk3-demo --run printing)
# A module built with AddressSanitizer needs its runtime loaded first; the program's own
# allocations that live until exit are not what this test looks at. (gtk3-demo is left
# out there: the desktop portal it starts loads the module too, without that runtime.)
if ldd "$module" 2>/dev/null | grep -q libasan; then
  app=(env "LD_PRELOAD=$(gcc -print-file-name=libasan.so)" ASAN_OPTIONS=detect_leaks=0 "${app[@]}")
  demo=()
fi

timeout 240 "$source_dir/tests/hosts/gtk/with_display.sh" dbus-run-session -- \
  "$python" "$source_dir/tests/e2e/gtk3_dialog_driver.py" --family jctest --other acme \
  --capture "$JC_CUPS_DIR/capture" --folders "127.0.0.1:$(cat "$work/port")" \
  ${demo[@]:+--demo "${demo[*]}"} -- "${app[@]}" \
  >"$work/driver.out" 2>"$work/driver.err"
status=$?
cat "$work/driver.out"
[ "$status" -eq 77 ] && skip "$(grep SKIPPED "$work/driver.out" || echo "no display")"
if [ "$status" -ne 0 ]; then
  fail "the driver ended with status $status"
  grep -v -e '^$' -e 'dbus-daemon' -e 'D-Bus' -e colord "$work/driver.err" | tail -20
fi

job() { awk -v label="$1" '$1 == "JOB" && $2 == label { print $3 }' "$work/driver.out"; }
options() { echo "$JC_CUPS_DIR/capture/$1.options"; }
expect_lines() {  # FILE LINE...: every line must be in FILE
  local file="$1"; shift
  for line in "$@"; do grep -qF -- "$line" "$file" || fail "$(basename "$file") lacks \"$line\""; done
}

id=$(job first)
if [ -n "$id" ]; then
  timeout 30 "$cli" --bundle "$bundle" decode --pass-code 1234 "$(options "$id")" >"$work/first" ||
    fail "decode of the first job found a failed check"
  cat "$work/first"
  expect_lines "$work/first" "retention: hold-only" "pass-code: 1234  (jobSuspend2Key" \
    "ok: jobSuspendKey matches the given pass-code 1234" "auth: login" \
    "login-name: alice" "password: s3cret" "user-name: Zoë Q" "job-name: report" \
    "held: pass-code job-name"
fi
id=$(job demo)
if [ ${#demo[@]} -gt 0 ] && [ -n "$id" ]; then
  # What the first application's dialog held for the printer came with the tab here too.
  timeout 30 "$cli" --bundle "$bundle" decode "$(options "$id")" >"$work/demo" ||
    fail "decode of the demo's job found a failed check"
  expect_lines "$work/demo" "user-name: demo" "job-name: report" "held: pass-code job-name"
fi
id=$(job other)
[ -n "$id" ] && grep -q vorelia "$(options "$id")" &&
  fail "the job to another maker's queue carries Job Control keys: $(cat "$(options "$id")")"
jobs=$(find "$JC_CUPS_DIR/capture" -name '*.options' | wc -l)
expected=$((2 + (${#demo[@]} > 0)))
[ "$jobs" -eq "$expected" ] ||
  fail "$jobs jobs reached the filter, not $expected (the cancelled dialog's must not)"

# What the application was handed back holds the dialog's settings and no key of ours.
settings="$work/app-settings.ini"
if ! grep -q '^printer=' "$settings" 2>/dev/null; then
  fail "the application saved no print settings"
elif grep -qi vorelia "$settings"; then
  fail "the application's print settings hold Job Control keys: $(grep -i vorelia "$settings")"
fi

[ "$failures" -eq 0 ] && echo "PASS" || { echo "$failures failure(s)"; exit 1; }
