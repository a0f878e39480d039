#!/usr/bin/env bash
# End to end with a real CUPS: `jobcontrol queue enable` on a private cupsd's queue (the
# printer simulator answering the folder request), what lpoptions then shows, jobs sent with
# lp -o through jobcontrol-filter to a real filter that records its options (decoded by
# `jobcontrol decode`) and the jobs it stops, refresh, --private, a refused queue of another
# maker, and disable giving back the PPD byte for byte.
#
#   queue_e2e.sh SOURCE_DIR JOBCONTROL BUNDLE SIMULATOR FILTER
#
# Exits 77 (skipped) without root, cupsd or lpadmin.
set -uo pipefail
source_dir="$1" cli="$2" bundle="$3" simulator="$4" wrapper="$5"

source "$source_dir/tests/e2e/e2e_lib.sh"
need_root "start cupsd"
need_tools "cups, cups-client" /usr/sbin/cupsd lpadmin lpstat lpoptions
e2e_begin queue-e2e
e2e_cupsd
start_simulator "$work/port" --folder Sales --folder "Board,password"
address="127.0.0.1:$(cat "$work/port")"

queue_ppd="$JC_CUPS_DIR/ppd/jctest.ppd"
cp "$queue_ppd" "$work/original.ppd"

# Enable: the group in lpoptions, the printer's folders among the filing choices.
jc queue enable jctest --address "$address" --filter "$wrapper" >"$work/enable.out" 2>&1 ||
  { fail "enable failed"; cat "$work/enable.out"; }
cat "$work/enable.out"
grep -q "now runs behind \"$wrapper\"" "$work/enable.out" || fail "enable does not say what it changed"
grep -q "other users can see" "$work/enable.out" || fail "enable does not say the choices are visible"
lpoptions -p jctest -l >"$work/options" || fail "lpoptions failed"
for line in "JCRetention/Retention: \*None HoldOnly HoldAfter SamplePrint" \
  "JCPassCode/Retention Pass Code: \*None Custom.PASSCODE" \
  "JCFiling/Filing: \*None QuickFile MainFolder Folder1 Folder2" \
  "JCPassword/Password: \*None Custom.PASSWORD" "JCLoginName/Login Name: \*None Custom.STRING"; do
  grep -q "^$line\$" "$work/options" || fail "lpoptions lacks \"$line\""
done
grep -q '^\*cupsFilter2: .* 0 '"$wrapper"'"$' "$queue_ppd" || fail "the wrapper is not the queue's filter"
grep -q '^\*JCFiling Folder2/Board: ""' "$queue_ppd" || fail "the folder Board is no filing choice"
jc queue enable jctest --filter "$wrapper" >/dev/null 2>"$work/again" && fail "enable twice was taken"
grep -q "carries Job Control already" "$work/again" || fail "enable twice: $(cat "$work/again")"

# Jobs through the wrapper: the real filter records the options it gets.
page="$source_dir/tests/data/test-page.pdf"
submit() { lp -d jctest "$@" "$page" | sed -n 's/^request id is jctest-\([0-9]*\) .*/\1/p'; }
ran_or_stopped() {  # JOB: the real filter ran, or the job stopped
  [ -s "$JC_CUPS_DIR/capture/$1.options" ] ||
    lpstat -l -o jctest 2>/dev/null | grep -A1 "^jctest-$1 " | grep -q "Status: Job Control:"
}
held=$(submit -o JCRetention=HoldOnly -o JCPassCode=Custom.1234)
plain=$(submit -o JCRetention=None -o JCPassCode=None -o JCFiling=None -o JCAuthentication=None)
standard=$(submit -o job-password=4321 -o job-account-id=42 -o job-accounting-user-id=carol)
filed=$(submit -o JCRetention=HoldAfter -o JCFiling=Folder2 -o JCAuthentication=UserNumber \
  -o JCUserNumber=Custom.7 -o JCAccountNumber=Custom.42)
for job in "$held" "$plain" "$standard" "$filed"; do
  wait_until 20 ran_or_stopped "$job"
  [ -s "$JC_CUPS_DIR/capture/$job.options" ] || fail "job $job never reached the real filter"
  if grep -q 'JC[A-Z][A-Za-z]*=' "$JC_CUPS_DIR/capture/$job.options"; then
    fail "the options of job $job still hold Job Control's own"
  fi
done
decoded() { expect_decoded "job$1" "$JC_CUPS_DIR/capture/$1.options" "${@:2}"; }  # JOB ...
decoded "$held" --pass-code 1234 -- "retention: hold-only" "pass-code: 1234  (jobSuspend2Key" \
  "ok: jobSuspendKey matches the given pass-code 1234" "user-name: root  (userName," \
  "job-name: test-page.pdf"
decoded "$plain" -- "retention: off" "auth: login"
decoded "$standard" --pass-code 4321 -- "retention: hold-only" "ok: jobSuspendKey matches the given pass-code 4321" \
  "account-number: 42  (accountNumber2" "login-name: carol"
decoded "$filed" -- "retention: hold-after" "auth: number" "user-number: 7  (userNumber2" \
  "account-number: 42  (accountNumber2"

# Each refusal stops its job with one line naming the option and why; the real filter never
# runs, so a job that asked to be held is never printed unheld.
while IFS='|' read -r options message; do
  # shellcheck disable=SC2086
  job=$(submit $options)
  wait_until 20 ran_or_stopped "$job"
  [ -e "$JC_CUPS_DIR/capture/$job.options" ] && fail "refused job $job ($options) was printed"
  status=$(lpstat -l -o jctest | grep -A1 "^jctest-$job " | sed -n 's/^\s*Status: //p')
  [[ "$status" == *"$message"* ]] || fail "job $job ($options): status \"$status\", not \"$message\""
done <<'CASES'
-o JCRetention=HoldOnly -o JCPassCode=Custom.12a4|Job Control: JCPassCode: takes digits only
-o JCRetention=HoldOnly -o JCPassCode=Custom.123456|JCPassCode: takes at most 5 characters, not 6
-o JCRetention=HoldOnly -o JCPassCode=Custom|JCPassCode: "Custom" with no value
-o JCLoginName=Custom.Nonecarol|JCLoginName: the value follows the "None" placeholder
-o JCRetention=Forever|JCRetention: "Forever" is not one of None, HoldOnly, HoldAfter, SamplePrint
-o JCFiling=QuickFile|JCFiling: the printer files only a job it keeps
-o JCPassword=Custom.abcdefghijklmnopqrstuvwxyz0123456|JCPassword: takes at most 31 characters
-o JCRetention=HoldOnly -o JCPassCode=Custom.1234 -o vorelia.print.PrintSettings.jobSuspend=0|JCRetention: the job carries the panel's own keys already
CASES
# No line the wrapper wrote shows a secret.
if grep 'Job Control:' "$JC_CUPS_DIR/log/error_log" | grep -Eq '12a4|123456|abcdefghij|Nonecarol'; then
  fail "the wrapper wrote a secret to the log"
fi

# Refresh: the folders asked again, the original still kept underneath.
kill "$sim_pid"; wait "$sim_pid" 2>/dev/null
start_simulator "$work/port2" --port "${address##*:}" --folder Sales --folder Projects
for _ in $(seq 1 50); do jc queue refresh jctest --address "$address" --filter "$wrapper" \
  >"$work/refresh.out" 2>&1 && break; sleep 0.1; done
grep -q '^\*JCFiling Folder2/Projects: ""' "$queue_ppd" || { fail "refresh did not fetch the folders"; cat "$work/refresh.out"; }

# --private: the options join JobPrivateValues, and cupsd comes back with it.
jc queue refresh jctest --address "$address" --filter "$wrapper" --private >"$work/private.out" 2>&1 ||
  { fail "refresh --private failed"; cat "$work/private.out"; }
cupsd_running() { lpstat -r | grep -q "is running"; }
wait_until 10 cupsd_running
grep -q '^ *JobPrivateValues .*JCPassCode.*JCAccountNumber' "$JC_CUPS_DIR/cupsd.conf" ||
  fail "cupsd.conf lacks the options: $(grep JobPrivateValues "$JC_CUPS_DIR/cupsd.conf")"
jc queue refresh jctest --address "$address" --filter "$wrapper" 2>&1 |
  grep -q "keeps the Job Control choices from other users" || fail "refresh does not see them private"

# Disable: the PPD CUPS had before, byte for byte.
jc queue disable jctest >"$work/disable.out" 2>&1 || { fail "disable failed"; cat "$work/disable.out"; }
cmp "$work/original.ppd" "$queue_ppd" || fail "disable did not give back the PPD byte for byte"
jc queue disable jctest 2>"$work/again" && fail "disable of a plain queue was taken"
grep -q "does not carry Job Control" "$work/again" || fail "disable twice: $(cat "$work/again")"

# Another maker's queue is refused and left alone.
sed 's/^\*Manufacturer: "Vorelia"/*Manufacturer: "Other"/' "$work/original.ppd" >"$work/other.ppd"
lpadmin -p other -E -v file:///dev/null -P "$work/other.ppd" || fail "lpadmin other failed"
cp "$JC_CUPS_DIR/ppd/other.ppd" "$work/other-before.ppd"
jc queue enable other --filter "$wrapper" 2>"$work/other.out" && fail "another maker's queue was taken"
grep -q 'made by "Other"' "$work/other.out" || fail "the refusal does not name the maker: $(cat "$work/other.out")"
cmp -s "$work/other-before.ppd" "$JC_CUPS_DIR/ppd/other.ppd" || fail "the refused queue's PPD changed"

e2e_end
