#!/usr/bin/env bash
# Another local user's folders and files: a preference folder someone else made is not
# used (a FIFO planted there does not hang the command), and in a shared sticky temporary
# folder each user's folder-list answer stays the user's own.
#
#   other_users_e2e.sh JOBCONTROL BUNDLE PRINTER-SIMULATOR
#
# Runs as two users it creates; exits 77 (skipped) without root or useradd.
set -uo pipefail
cli="$1" bundle="$2" simulator="$3"

source "$(dirname "$0")/e2e_lib.sh"
need_root "create users"
need_tools "passwd, util-linux" useradd runuser

e2e_begin users
chmod 755 "$work"
victim="jcv$$" other="jco$$"
useradd -M -s /bin/sh "$victim" || skip "useradd failed"
at_exit 'userdel "$victim"'
useradd -M -s /bin/sh "$other" || skip "useradd failed"
at_exit 'userdel "$other"'
# Runs the command as USER with the given environment, bounded in time.
as() {
  local user="$1"; shift
  runuser -u "$user" -- timeout 10 env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 \
    JOBCONTROL_SYSTEM_ENCODING=0 "$@"
}

# 1. A shared configuration folder where the other user made jobcontrol/ (0777) and
#    planted a domain holding a user name, and a FIFO for a second printer.
shared_config="$work/config"
mkdir -m 1777 "$shared_config"
runuser -u "$other" -- mkdir -m 0777 "$shared_config/jobcontrol"
runuser -u "$other" -- sh -c "cat > '$shared_config/jobcontrol/vorelia.mfp.demo.plist'" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>Job Control</key><dict>
<key>Model Name</key><string>Vorelia MFP Demo 630e</string>
<key>Release Number</key><string>2.00</string>
<key>hold button</key><integer>8</integer>
<key>user name</key><string>planted-by-other</string>
</dict></dict></plist>
PLIST
out=$(as "$victim" XDG_CONFIG_HOME="$shared_config" "$cli" --bundle "$bundle" show 2>"$work/err")
status=$?
[ $status -eq 0 ] || fail "show with a planted folder: status $status"
grep -q "planted-by-other" <<<"$out" && fail "the planted user name was used"
grep -q "the preferences are not used: .*belongs to another user" "$work/err" ||
  fail "show did not say why the preferences are not used: $(cat "$work/err")"
as "$victim" XDG_CONFIG_HOME="$shared_config" "$cli" --bundle "$bundle" set hold=user-name \
  >/dev/null 2>"$work/err"
[ $? -eq 1 ] || fail "set with a planted folder did not exit 1"
grep -q "the held entries were not remembered" "$work/err" || fail "set did not say what was lost"

runuser -u "$other" -- rm "$shared_config/jobcontrol/vorelia.mfp.demo.plist"
runuser -u "$other" -- mkfifo -m 0666 "$shared_config/jobcontrol/vorelia.mfp.demo.plist"
as "$victim" XDG_CONFIG_HOME="$shared_config" "$cli" --bundle "$bundle" show >/dev/null 2>&1
status=$?
[ $status -eq 124 ] && fail "a planted FIFO hung show"

# 2. Both users ask their printers for folders with TMPDIR at a shared sticky folder: the
#    second answer is not lost to the first user's file.
shared_tmp="$work/tmp"
mkdir -m 1777 "$shared_tmp"
start_simulator "$work/OtherFolder.port" --folder OtherFolder
start_simulator "$work/VictimFolder.port" --folder VictimFolder
port_other=$(cat "$work/OtherFolder.port")
port_victim=$(cat "$work/VictimFolder.port")
for user in "$other" "$victim"; do
  home="$work/home-$user"
  mkdir -m 0700 "$home" && chown "$user:$user" "$home"
done
as "$other" XDG_CONFIG_HOME="$work/home-$other" TMPDIR="$shared_tmp" \
  "$cli" --bundle "$bundle" folders --address "127.0.0.1:$port_other" >/dev/null 2>&1 ||
  fail "the other user's folders failed"
out=$(as "$victim" XDG_CONFIG_HOME="$work/home-$victim" TMPDIR="$shared_tmp" \
  "$cli" --bundle "$bundle" folders --address "127.0.0.1:$port_victim" 2>"$work/err")
grep -q "VictimFolder" <<<"$out" || fail "the victim's answer was lost: $out $(cat "$work/err")"
[ -e "$shared_tmp/vwxyz.xml" ] && fail "an answer was left where every user can reach it"
# The other user took the name of the victim's folder first: the victim is told.
rm -rf "$shared_tmp/jobcontrol-$(id -u "$victim")"
runuser -u "$other" -- mkdir -m 0777 "$shared_tmp/jobcontrol-$(id -u "$victim")"
as "$victim" XDG_CONFIG_HOME="$work/home-$victim" TMPDIR="$shared_tmp" \
  "$cli" --bundle "$bundle" folders --address "127.0.0.1:$port_victim" >/dev/null 2>"$work/err"
[ $? -eq 1 ] || fail "a planted private folder did not fail the folders command"
grep -q "Could not retrieve Folder Names. (.*belongs to another user)" "$work/err" ||
  fail "a planted private folder was not reported: $(cat "$work/err")"

e2e_end
