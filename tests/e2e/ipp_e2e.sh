#!/usr/bin/env bash
# End to end against an IPP printer we did not write: ippeveprinter advertising the
# standard job-password and accounting attributes (and a second one advertising
# nothing), behind driverless queues of a private cupsd. `jobcontrol print` in each
# --ipp-attributes mode, and the GTK tab in Automatic when its driver is given; what the
# printer received is read from its own log and from the environment of its print command.
#
#   ipp_e2e.sh SOURCE_DIR JOBCONTROL BUNDLE GTK_E2E_DRIVER|"" HOSTILE_PRINTER
#
# Exits 77 (skipped) without root or the CUPS, ippeveprinter and DNS-SD daemons.
set -uo pipefail
source_dir="$1" cli="$2" bundle="$3" gtk_driver="${4:-}" hostile="$5"

source "$source_dir/tests/e2e/e2e_lib.sh"
need_root "start cupsd"
need_tools "cups, cups-ipp-utils, dbus, avahi-daemon" /usr/sbin/cupsd lpadmin lpstat ippeveprinter \
  dbus-daemon avahi-daemon
e2e_begin ipp-e2e

# ippeveprinter will not start without a DNS-SD daemon, even when it advertises nothing.
# Start the system bus and avahi here when the machine runs none, and stop them after.
if ! avahi-daemon -c 2>/dev/null; then
  if ! { [ -S /run/dbus/system_bus_socket ] && kill -0 "$(cat /run/dbus/pid 2>/dev/null)" 2>/dev/null; }; then
    mkdir -p /run/dbus
    rm -f /run/dbus/system_bus_socket /run/dbus/pid
    dbus-daemon --system --fork || skip "the system bus did not start"
    at_exit 'kill "$(cat /run/dbus/pid)" 2>/dev/null; rm -f /run/dbus/system_bus_socket /run/dbus/pid'
  fi
  rm -f /run/avahi-daemon/pid
  avahi-daemon --daemonize --no-chroot --no-drop-root || skip "avahi-daemon did not start"
  at_exit 'avahi-daemon -k 2>/dev/null'
  wait_until 5 avahi-daemon -c
fi

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
cat >"$work/print-command" <<'CMD'
#!/bin/sh
# What the printer's print command sees of the job.
env | grep '^IPP_JOB_' > "$1.env"
CMD
chmod 755 "$work/print-command"

# A printer advertising what a secure-print MFP does, and one advertising none of it.
cat >"$work/secure.conf" <<'CONF'
ATTR mimeMediaType document-format-supported application/octet-stream,application/pdf,image/pwg-raster
ATTR mimeMediaType document-format-default application/octet-stream
ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in
ATTR keyword media-default iso_a4_210x297mm
ATTR keyword media-ready iso_a4_210x297mm
ATTR collection media-size-supported {MEMBER integer x-dimension 21000 MEMBER integer y-dimension 29700}
ATTR resolution pwg-raster-document-resolution-supported 300dpi
ATTR keyword pwg-raster-document-type-supported black_1,sgray_8
ATTR keyword print-color-mode-supported monochrome
ATTR keyword print-color-mode-default monochrome
ATTR keyword sides-supported one-sided
ATTR keyword sides-default one-sided
ATTR integer job-password-supported 8
ATTR keyword job-password-encryption-supported none,md5,sha2-256
ATTR rangeOfInteger job-password-length-supported 4-8
ATTR boolean job-account-id-supported true
ATTR boolean job-accounting-user-id-supported true
CONF
start_printer() {  # NAME [ippeveprinter options]: sets port_NAME
  local name="$1"; shift
  local port; port=$(free_port)
  mkdir -p "$work/$name"
  ippeveprinter -vv -r off -n localhost -p "$port" "$@" -c "$work/print-command" \
    -d "$work/$name" "$name" >"$work/$name.log" 2>&1 &
  at_exit "kill $! 2>/dev/null"
  # Up to 30 s each: on a loaded machine the printers and cupsd start slowly.
  wait_until 30 ipptool -q "ipp://localhost:$port/ipp/print" get-printer-attributes.test
  printf -v "port_$name" '%s' "$port"
}
start_printer secure -a "$work/secure.conf"
start_printer plain

e2e_cupsd
lpadmin -p secure -E -v "ipp://localhost:$port_secure/ipp/print" -m everywhere || exit 1
lpadmin -p plain -E -v "ipp://localhost:$port_plain/ipp/print" -m everywhere || exit 1
# cupsd writes a driverless queue's PPD after lpadmin returns: wait until both can be read.
for queue in secure plain; do
  wait_until 30 lpoptions -p "$queue" -l >/dev/null || { fail "queue $queue has no PPD"; exit 1; }
done

# cupsd may write a driverless queue's PPD again just after it first appears: wait until the
# command itself opens both queues.
# Under load the rewrite can come later still: wait until neither PPD has changed for 3 s.
ppd_settled() {
  local ppd="$JC_CUPS_DIR/ppd/$1.ppd"
  [ -s "$ppd" ] && [ $(($(date +%s) - $(stat -c %Y "$ppd"))) -ge 3 ] && jc show -d "$1" >/dev/null
}
for queue in secure plain; do
  wait_until 30 ppd_settled "$queue"
done
page="$source_dir/tests/data/test-page.pdf"
entries=(retention=hold-only pass-code=1234 account-number=42 auth=login login-name=alice password=pw)

# Runs the command that prints one job on QUEUE; sets `received` to what the printer logged
# for the job's Create-Job and `environment` to its print command's IPP_JOB_ lines. Returns
# the command's status when it failed (after a failure, except for 77: skipped).
run_and_read() {
  local queue="$1"; shift
  local log="$work/$queue.log" offset status
  offset=$(stat -c %s "$log")
  "$@" >"$work/out" 2>"$work/stderr"
  status=$?
  if [ "$status" -ne 0 ]; then
    [ "$status" -eq 77 ] || fail "print on $queue failed ($status): $(tail -n 5 "$work/out" "$work/stderr")
$(grep -A 12 -E '^(Direct|Indirect) leak' "$work/stderr")"
    return "$status"
  fi
  for _ in $(seq 1 300); do
    ls "$work/$queue"/*.env >/dev/null 2>&1 && [ -n "$(find "$work/$queue" -name '*.env' -newer "$work/stderr")" ] && break
    sleep 0.1
  done
  received=$(tail -c +"$((offset + 1))" "$log" | sed -n '/operation-id=Create-Job/,/operation-id=Send-Document/p')
  environment=$(cat "$(ls -t "$work/$queue"/*.env 2>/dev/null | head -1)" 2>/dev/null)
  [ -n "$received" ] || fail "the printer $queue logged no Create-Job for $*"
}
# Prints on QUEUE with the given jobcontrol arguments, as run_and_read.
print_and_read() {
  local queue="$1"; shift
  run_and_read "$queue" jc print "$page" -d "$queue" "$@"
}
# (The backend's own Get-Printer-Attributes may fall inside that span: it asks for
# job-password-encryption-supported, so a sent job-password is matched with its type.)
has() { grep -qF -- "$2" <<<"$1"; }

# auto: the pass code as the strongest digest the printer offers (the backend computes it),
# the account number and the login name as the accounting user.
# The sha2-256 digest of "1234" as ippeveprinter logs an octetString.
digest='job-password (octetString) \003\254gB\026\363\341\\v\036\341\245\342U\360g\2256#\310\263\210\264E\236\023\371x\327\310F\364'
print_and_read secure "${entries[@]}"
echo "== auto, secure printer:"; echo "$received" | grep -E 'job-password|job-account'
has "$received" "$digest" || fail "auto: job-password is not the sha2-256 digest of 1234"
has "$received" "job-password-encryption (keyword) sha2-256" || fail "auto: encryption is not sha2-256"
has "$environment" "IPP_JOB_ACCOUNT_ID=42" || fail "auto: job-account-id did not reach the printer"
has "$environment" "IPP_JOB_ACCOUNTING_USER_ID=alice" || fail "auto: the accounting user is not alice"

# never: no password and no account; the backend still names the requesting user.
print_and_read secure "${entries[@]}" --ipp-attributes=never
echo "== never, secure printer:"; echo "$received" | grep -E 'job-password|job-account'
has "$received" "job-password (octetString)" && fail "never: job-password was sent"
has "$environment" "IPP_JOB_ACCOUNT_ID" && fail "never: job-account-id was sent"

# auto on a printer that advertises nothing: nothing is sent, and the user is told.
print_and_read plain "${entries[@]}"
echo "== auto, plain printer:"; echo "$received" | grep -E 'job-password|job-account'
has "$received" "job-password (octetString)" && fail "auto on plain: job-password was sent"
has "$environment" "IPP_JOB_ACCOUNT_ID" && fail "auto on plain: job-account-id was sent"
grep -q "takes no job password" "$work/stderr" || fail "auto on plain: no note that the pass code was not sent"

# A pass code outside the printer's limits: the job is not sent, exit 2, limits named.
jc print "$page" -d secure retention=hold-only pass-code=123 >"$work/out" 2>"$work/stderr"
status=$?
[ "$status" -eq 2 ] || fail "a 3-digit pass code on a 4-8 printer: exit $status, not 2"
grep -q "4 to 8" "$work/stderr" || fail "the refusal does not name the printer's limits: $(cat "$work/stderr")"

# Hostile printers behind driverless queues: a held job is refused within the printer's
# 10 s, nothing is queued, and the printer's text reaches the terminal escaped and cut short.
for name in trickle-body endless-continue garbage redirect-loop ask-password escapes; do
  "$hostile" "$name" "$work/$name.port" 300 >/dev/null &
  at_exit "kill $! 2>/dev/null"
  wait_until 5 test -s "$work/$name.port"
  lpadmin -p "h-$name" -E -v "ipp://127.0.0.1:$(cat "$work/$name.port")/ipp/print" \
    -P "$JC_CUPS_DIR/ppd/secure.ppd" || { fail "no queue for $name"; continue; }
  started=$(date +%s%N)
  jc print "$page" -d "h-$name" retention=hold-only pass-code=1234 >"$work/out" 2>"$work/stderr"
  status=$? ms=$((($(date +%s%N) - started) / 1000000))
  echo "== $name: exit $status after $ms ms: $(head -c 300 "$work/stderr")"
  [ "$status" -eq 2 ] || fail "$name: exit $status, not 2"
  [ "$ms" -lt 13000 ] || fail "$name: the command took $ms ms"
  [ -z "$(lpstat -o "h-$name" 2>/dev/null)" ] || fail "$name: a job was queued"
  if [ "$name" = escapes ]; then
    grep -q "and 9995 more" "$work/stderr" || fail "escapes: the list is not cut short"
  else
    grep -q -- "--ipp-attributes=never" "$work/stderr" || fail "$name: the way to print anyway is not named"
  fi
  grep -q $'\e' "$work/stderr" && fail "$name: an escape sequence reached the terminal"
  [ "$(stat -c %s "$work/stderr")" -lt 2000 ] || fail "$name: $(stat -c %s "$work/stderr") bytes of message"
done
# The way out it names prints the job, unheld.
jc print "$page" -d h-garbage retention=hold-only pass-code=1234 --ipp-attributes=never >/dev/null 2>&1 ||
  fail "--ipp-attributes=never did not print on a printer that gives no answer"

# The GTK tab in Automatic: the same attributes through GTK's print dialog and CUPS backend
# (no D-Bus for GTK: a bus that answers slowly would hold its backend up).
gtk_print() (
  gtk_without_buses
  exec timeout 120 "$source_dir/tests/hosts/gtk/with_display.sh" "$gtk_driver" --ipp "$bundle" "$@"
)
if [ -n "$gtk_driver" ]; then
  run_and_read secure gtk_print secure "$page"
  case $? in
    0)
      echo "== GTK tab, auto, secure printer:"; echo "$received" | grep -E 'job-password|job-account'
      has "$received" "$digest" || fail "GTK: job-password is not the digest of 1234"
      has "$environment" "IPP_JOB_ACCOUNT_ID=42" || fail "GTK: job-account-id did not reach the printer"
      [ "$failures" -eq 0 ] || grep -v -e '^$' -e 'D-Bus' -e colord "$work/out" "$work/stderr" | tail -20
      [ "$failures" -eq 0 ] || { lpstat -W all -l -o; grep -E "\[Job [0-9]+\]" "$JC_CUPS_DIR/log/error_log" | grep -iE "job-password|account|argv|hold|stop|abort|error" | tail -30; }
      ;;
    77) echo "SKIPPED: the GTK tab (no display)" ;;
  esac
fi

e2e_end
