#!/usr/bin/env bash
# End to end with a real CUPS: `jobcontrol print` (with lp's options, standard input and a
# secrets file) to a private cupsd whose queue's filter captures its job options and
# copies, `jobcontrol decode` over what the filter received, and the
# README's JobPrivateValues line keeping our keys from other users' Get-Job-Attributes.
#
#   print_e2e.sh SOURCE_DIR JOBCONTROL BUNDLE
#
# Exits 77 (skipped) without root, cupsd, lpadmin or ipptool.
set -uo pipefail
source_dir="$1" cli="$2" bundle="$3"

source "$source_dir/tests/e2e/e2e_lib.sh"
need_root "start cupsd"
need_tools "cups, cups-client, cups-ipp-utils" /usr/sbin/cupsd lpadmin lpstat ipptool

# The administrators' line, exactly as the README gives it.
private_line=$(grep -m1 '^ *JobPrivateValues default vorelia' "$source_dir/README.md") ||
  { echo "FAIL: the README has no JobPrivateValues line"; exit 1; }
export JC_PRIVATE_VALUES="${private_line#*JobPrivateValues }"

e2e_begin e2e
e2e_cupsd

page="$source_dir/tests/data/test-page.pdf"

# Every entry, over two jobs: login name and password (one file), then user number (two
# files: a job of several documents). (The folder name
# is held but not sent: without a hard disk the panel files nothing and sends "*standard".)
# The secrets come from a private file, never the command line.
printf 'pass-code=1234\npassword=s3cret\nfolder-pass-code=77\n' >"$work/secrets"
chmod 600 "$work/secrets"
request1=$(jc print "$page" -d jctest --job-name "Quarterly report" --secrets-file "$work/secrets" \
  -o media=A4 -n 2 \
  retention=hold-only pass-code=- lock=pass-code filing=main filing-kind=custom \
  folder-name=Projects lock=folder-name folder-pass-code=- lock=folder-pass-code \
  auth=login login-name=alice lock=login-name password=- lock=password \
  account-number=42 lock=account-number user-name="Zoë Q" hold=user-name \
  job-name=report hold=job-name) || fail "print (job 1) failed"
# Standard input and a file, as lp takes them; -o with an entry's name is that entry.
request2=$(jc print --printer=jctest - "$page" unlock=login-name unhold=password auth=number \
  user-number=7 lock=user-number -o retention=sample <"$page") || fail "print (job 2) failed"
echo "$request1"; echo "$request2"
job1=$(echo "$request1" | sed -n 's/^request id is jctest-\([0-9]*\) (1 file(s))$/\1/p')
job2=$(echo "$request2" | sed -n 's/^request id is jctest-\([0-9]*\) (2 file(s))$/\1/p')
[ -n "$job1" ] && [ -n "$job2" ] || { fail "print did not answer as lp does"; exit 1; }

# A file CUPS cannot type is refused, naming the type, before anything is printed.
head -c 4096 /dev/urandom >"$work/noise.bin"
refused=$(jc print -d jctest -q "$work/noise.bin" 2>&1) && fail "print took a file of no known type"
echo "$refused" | grep -q "application/octet-stream" || fail "the refusal names no type: $refused"

# The filter runs asynchronously; wait for both captures, at most 20 seconds.
for job in "$job1" "$job2"; do
  wait_until 20 test -s "$JC_CUPS_DIR/capture/$job.options" ||
    { fail "job $job never reached the filter"; tail -30 "$JC_CUPS_DIR/log/error_log"; exit 1; }
done
# The job options of -o and -n travel beside ours.
grep -Eq '(^| )media=A4( |$)' "$JC_CUPS_DIR/capture/$job1.options" || fail "-o media=A4 did not reach the filter"
[ "$(cat "$JC_CUPS_DIR/capture/$job1.copies")" = 2 ] || fail "-n 2 did not reach the filter"

expect_decoded job1 "$JC_CUPS_DIR/capture/$job1.options" --pass-code 1234 --folder-pass-code 77 -- \
  "retention: hold-only" "pass-code: 1234  (jobSuspend2Key" \
  "folder-pass-code: 77  (folderPassword2" "auth: login" "login-name: alice  (loginName11" \
  "login-name: alice  (loginName01, run-time key" "password: s3cret  (password, run-time key" \
  "password: s3cret  (password2" "account-number: 00042  (accountNumber," \
  "account-number: 42  (accountNumber2" "user-name: Zoë Q  (userName," "user-name: Zoë Q  (userName2" \
  "job-name: report  (jobName," "ok: jobSuspendKey matches the given pass-code 1234" \
  "ok: folderPassword matches the given folder-pass-code 77" \
  "held: pass-code login-name password user-name job-name folder-pass-code account-number folder-name"
# Held entries of job 1 come back in job 2 without being typed again.
expect_decoded job2 "$JC_CUPS_DIR/capture/$job2.options" -- "retention: sample" "auth: number" \
  "user-number: 00007  (userNumber," "user-number: 7  (userNumber2" "pass-code: 1234" \
  "account-number: 42" "user-name: Zoë Q" "job-name: report"

# Another user's Get-Job-Attributes sees none of our keys; the owner still sees them.
cat >"$work/get-job.test" <<'TEST'
{
  NAME "Get-Job-Attributes"
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR integer job-id $job_id
  ATTR name requesting-user-name $as_user
  ATTR keyword requested-attributes all
  STATUS successful-ok
}
TEST
attrs() { timeout 20 ipptool -t -v -d job_id="$1" -d as_user="$2" "ipp://$CUPS_SERVER/printers/jctest" "$work/get-job.test"; }
for job in "$job1" "$job2"; do
  owner=$(attrs "$job" root | grep -c 'vorelia\.print\.PrintSettings\.')
  other=$(attrs "$job" someone-else)
  [ "$owner" -gt 0 ] || fail "the owner does not see the keys of job $job"
  # (Here-strings, not pipes: grep -q stopping early would fail the pipe under pipefail.)
  grep -q 'status-code = successful-ok' <<<"$other" || fail "Get-Job-Attributes of job $job failed"
  if grep -q 'vorelia\.print\.PrintSettings\.' <<<"$other"; then
    fail "another user sees our keys of job $job:"
    echo "$other" | grep 'vorelia\.print\.PrintSettings\.'
  fi
done

e2e_end
