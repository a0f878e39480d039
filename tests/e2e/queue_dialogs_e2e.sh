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
source "$source_dir/tests/e2e/e2e_lib.sh"

need_accessible_gtk
e2e_begin queue-dialogs
e2e_cupsd
jc queue enable jctest --filter "$wrapper" >"$work/enable.out" 2>&1 ||
  { cat "$work/enable.out"; echo "FAIL: enable"; exit 1; }
# A filter built with AddressSanitizer runs under cupsd: what GTK's applications allocate is
# not what this test looks at, and the system Python is not built with it.
unset LD_PRELOAD ASAN_OPTIONS

# TOOLKIT|DECODE OPTIONS|LINES decode must show (";" between them). GTK 4's choices: Hold
# Only with Quick File; a quick-filed job is held after printing, so "hold-after" shows both
# choices came through (Hold Only alone would stay hold-only, Quick File alone is refused).
while IFS='|' read -r toolkit decode_options lines; do
  if [ "$toolkit" = 4 ] && ! "$python" -c 'import gi; gi.require_version("Gtk", "4.0")' 2>/dev/null; then
    echo "GTK 4 not checked: no introspection for it (gir1.2-gtk-4.0)"
    continue
  fi
  rm -f "$JC_CUPS_DIR"/capture/*
  out="$work/driver-$toolkit.out"
  run_accessible "$out" 120 queue_dialogs_driver.py --toolkit "$toolkit" --queue jctest \
    --capture "$JC_CUPS_DIR/capture" -- "$python" "$e2e_dir/gtk_plain_app.py" "$toolkit"
  id=$(driver_job "$out" "gtk$toolkit")
  [ -n "$id" ] || { fail "no job from GTK $toolkit"; continue; }
  options="$JC_CUPS_DIR/capture/$id.options"
  grep -q 'JC[A-Z][A-Za-z]*=' "$options" && fail "GTK $toolkit: the real filter got Job Control's own options"
  IFS=';' read -ra expected <<<"$lines"
  # shellcheck disable=SC2086
  expect_decoded "decoded-gtk$toolkit" "$options" $decode_options -- "${expected[@]}"
done <<'CHECKS'
3|--pass-code 1234|retention: hold-only;pass-code: 1234  (jobSuspend2Key;ok: jobSuspendKey matches the given pass-code 1234;job-name: plain page 1
4||retention: hold-after;filing: none;job-name: plain page 1
CHECKS
e2e_end
