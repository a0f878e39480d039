#!/usr/bin/env bash
# The jobcontrol-gtk3 package's postrm against what `jobcontrol desktop enable` writes, in
# a private root (DPKG_ROOT, as dpkg gives it): removing the package takes back every switch
# made for all users and keeps every other module and setting; an upgrade keeps the switch.
# Usage: gtk3_postrm_test.sh JOBCONTROL POSTRM
set -uo pipefail
cli=$1 postrm=$2
work=$(mktemp -d /tmp/jc-postrm.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/gtk/modules" "$work/home"
: >"$work/gtk/modules/libjobcontrol-gtk3-module.so"
export GTK_PATH=$work/gtk HOME=$work/home XDG_CONFIG_HOME=$work/home/.config

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# case NAME ACTION SETTINGS_BEFORE SETTINGS_AFTER ("-": no settings.ini)
case_() {
  local root=$work/$1 ini
  ini=$root/etc/gtk-3.0/settings.ini
  mkdir -p "$root/etc/gtk-3.0"
  [ "$3" = - ] || printf '%b' "$3" >"$ini"
  JOBCONTROL_DESKTOP_ROOT=$root "$cli" desktop enable >/dev/null || fail "$1: enable"
  DPKG_ROOT=$root sh "$postrm" "$2" || fail "$1: postrm $2 failed"
  local files
  files=$(cd "$root" && find usr etc -type f 2>/dev/null | sort | tr '\n' ' ')
  if [ "$2" = upgrade ]; then
    [[ $files == *gtk-modules/jobcontrol-gtk3-module.desktop* ]] || fail "$1: upgrade took the switch"
    return
  fi
  [[ $files == *jobcontrol* ]] && fail "$1: left $files"
  if [ "$4" = - ]; then
    [ -e "$ini" ] && fail "$1: settings.ini left: $(cat "$ini")"
  elif [ "$(cat "$ini")" != "$(printf '%b' "$4")" ]; then
    fail "$1: settings.ini is [$(cat "$ini")], not [$(printf '%b' "$4")]"
  fi
}
case_ none purge - -
case_ other-settings purge '[Settings]\ngtk-theme-name=Adwaita\n' '[Settings]\ngtk-theme-name=Adwaita\n'
case_ other-module remove '[Settings]\ngtk-modules = gail:atk-bridge\n' '[Settings]\ngtk-modules=gail:atk-bridge\n'
case_ ours-between purge '[Settings]\ngtk-modules=a:jobcontrol-gtk3-module:b\nx=1\n' '[Settings]\ngtk-modules=a:b\nx=1\n'
case_ ours-alone purge '# kept\n[Settings]\ngtk-modules = jobcontrol-gtk3-module \n' '# kept\n[Settings]\n'
case_ upgrade upgrade - -
[ "$failures" -eq 0 ] && echo PASS
exit "$failures"
