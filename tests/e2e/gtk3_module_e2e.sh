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
source "$source_dir/tests/e2e/e2e_lib.sh"

[ -f "$module" ] || skip "the GTK 3 module is not built here: no $module"
need_accessible_gtk
e2e_begin gtk3-e2e
e2e_cupsd
# Another maker's queue: the same capturing filter under a PPD that is not the family's.
sed -e 's/Vorelia MFP Demo 630e/Acme Office 10/g; s/"Vorelia"/"Acme"/; s/(Vorelia MFP Demo)/(Acme Office)/' \
  -e 's/, Job Control//' "$JC_CUPS_DIR/ppd/jctest.ppd" >"$JC_CUPS_DIR/ppd/acme.ppd"
add_queue acme "$JC_CUPS_DIR/ppd/acme.ppd" 2>/dev/null || { echo "FAIL: the other maker's queue"; exit 1; }
# A printer that answers after a while, so the dialog can be seen busy and answering.
start_simulator "$work/port" --folder Sales --fault delay --delay-ms 3000

# The switch a user's settings make: GTK 3 reads gtk-modules from settings.ini and finds
# the module by name in GTK_PATH.
mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
printf '[Settings]\ngtk-modules=jobcontrol-gtk3-module\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
export GTK_PATH="$gtk_path"
app=("$python" "$e2e_dir/gtk_plain_app.py" 3 "$work/app-settings.ini")
demo=()  # GTK's own printing demonstration, when installed (gtk-3-examples)
command -v gtk3-demo >/dev/null && demo=(gtk3-demo --run printing)
# A module built with AddressSanitizer needs its runtime loaded first; the program's own
# allocations that live until exit are not what this test looks at. (gtk3-demo is left
# out there: the desktop portal it starts loads the module too, without that runtime.)
# (grep reads ldd to the end: with -q it could stop at the first line and fail the pipe.)
if ldd "$module" 2>/dev/null | grep libasan >/dev/null; then
  app=(env "LD_PRELOAD=$(gcc -print-file-name=libasan.so)" ASAN_OPTIONS=detect_leaks=0 "${app[@]}")
  demo=()
fi

out="$work/driver.out"
run_accessible "$out" 240 gtk3_dialog_driver.py --family jctest --other acme \
  --capture "$JC_CUPS_DIR/capture" --folders "127.0.0.1:$(cat "$work/port")" \
  ${demo[@]:+--demo "${demo[*]}"} -- "${app[@]}"
options() { echo "$JC_CUPS_DIR/capture/$1.options"; }

id=$(driver_job "$out" first)
[ -n "$id" ] && expect_decoded first "$(options "$id")" --pass-code 1234 -- "retention: hold-only" \
  "pass-code: 1234  (jobSuspend2Key" "ok: jobSuspendKey matches the given pass-code 1234" \
  "auth: login" "login-name: alice" "password: s3cret" "user-name: Zoë Q" "job-name: report" \
  "held: pass-code job-name"
id=$(driver_job "$out" demo)
# What the first application's dialog held for the printer came with the tab here too.
[ ${#demo[@]} -gt 0 ] && [ -n "$id" ] && expect_decoded demo "$(options "$id")" -- \
  "user-name: demo" "job-name: report" "held: pass-code job-name"
id=$(driver_job "$out" other)
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
e2e_end
