#!/usr/bin/env bash
# End to end through GTK's print dialog: the driver fills the Job Control tab and prints with
# GTK's own CUPS backend to a private cupsd with two queues; `jobcontrol decode` then checks
# what each queue's filter received.
#
#   gtk_print_e2e.sh SOURCE_DIR DRIVER JOBCONTROL BUNDLE [JOBCONTROL_PRINT]
#
# Exits 77 (skipped) without root, cupsd, or a display.
set -uo pipefail
source_dir="$1" driver="$2" cli="$3" bundle="$4" program="${5:-}"

source "$source_dir/tests/e2e/e2e_lib.sh"
need_root "start cupsd"
need_tools "cups, cups-client" /usr/sbin/cupsd lpadmin lpstat
e2e_begin gtk-e2e
e2e_cupsd
add_queue jctest2 "$JC_CUPS_DIR/ppd/jctest.ppd" || { echo "FAIL: second queue"; exit 1; }

# GTK's CUPS backend lists the queues of CUPS_SERVER.
gtk_without_buses
run_driver "$work/driver.out" 120 "$driver" "$bundle" jctest jctest2 \
  "$source_dir/tests/data/test-page.pdf"

options() { echo "$JC_CUPS_DIR/capture/$1.options"; }
for label in held first switched; do
  id=$(driver_job "$work/driver.out" "$label")
  [ -n "$id" ] || { fail "no job $label"; continue; }
  wait_until 20 test -s "$(options "$id")" || { fail "job $label ($id) never reached the filter"; continue; }
  case $label in
    held) expect_decoded held "$(options "$id")" -- "account-number: 99" ;;
    first) expect_decoded first "$(options "$id")" --pass-code 1234 -- "retention: hold-only" \
      "pass-code: 1234  (jobSuspend2Key" "ok: jobSuspendKey matches the given pass-code 1234" \
      "auth: login" "login-name: alice" "password: s3cret" "account-number: 42" \
      "user-name: Zoë Q" "job-name: report" ;;
    switched) expect_decoded switched "$(options "$id")" --pass-code 1234 -- "user-name: Zoë Q" \
      "account-number: 99" "pass-code: 1234" "job-name: report" "login-name: alice" ;;
  esac
done
[ "$(ls "$JC_CUPS_DIR/capture"/*.options | wc -l)" -eq 3 ] || fail "Cancel printed a job: $(ls "$JC_CUPS_DIR/capture")"

# The desktop program itself, driven by the keyboard (xdotool, when installed): Return on
# the dialog prints with the first queue's held entries (pass code and job name), Return
# again closes the message. While the dialog is open, a script is renamed over the file it
# was given: the PDF it checked must be what goes.
if [ -n "$program" ] && command -v xdotool >/dev/null; then
  cp "$source_dir/tests/data/test-page.pdf" "$work/document.pdf"
  cat >"$work/program.sh" <<'PROGRAM'
"$@" >"$PROGRAM_OUT" 2>/dev/null &
pid=$!
for _ in $(seq 1 100); do
  window=$(xdotool search --name "Print with Job Control" 2>/dev/null | head -1)
  [ -n "$window" ] && break; sleep 0.1
done
printf '#!/bin/sh\necho swapped\n' >"$SWAP.new" && mv "$SWAP.new" "$SWAP"
# Return prints once GTK has listed and selected the queue; until then it does nothing.
for _ in $(seq 1 30); do
  xdotool windowfocus --sync "$window" key Return 2>/dev/null
  for _ in $(seq 1 10); do grep -q "printed as job" "$PROGRAM_OUT" && break 2; sleep 0.1; done
done
sleep 1; xdotool key Return
for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
PROGRAM
  PROGRAM_OUT="$work/program.out" SWAP="$work/document.pdf" timeout 60 \
    "$source_dir/tests/hosts/gtk/with_display.sh" \
    bash "$work/program.sh" "$program" --bundle "$bundle" --printer jctest "$work/document.pdf"
  cat "$work/program.out"
  id=$(sed -n 's/.*printed as job \([0-9]*\) on jctest.*/\1/p' "$work/program.out")
  if [ -z "$id" ]; then
    fail "jobcontrol-print printed nothing"
  else
    wait_until 20 test -s "$(options "$id")"
    expect_decoded program "$(options "$id")" -- "job-name: report" "held: pass-code job-name"
    type=$(cat "$JC_CUPS_DIR/capture/$id.type" 2>/dev/null)
    [ "$type" = application/pdf ] || fail "the program sent what the path held later ($type), not the PDF it checked"
  fi
else
  echo "(xdotool is not installed: jobcontrol-print itself is not driven)"
fi

e2e_end
