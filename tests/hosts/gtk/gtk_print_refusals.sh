#!/usr/bin/env bash
# jobcontrol-print refuses what it cannot print before any window opens, with the real
# reason, and writes file names with their control characters escaped.
#   gtk_print_refusals.sh JOBCONTROL_PRINT
set -uo pipefail
program="$1"
work=$(mktemp -d /tmp/jc-gtk-print-refusals.XXXXXX)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 LANGUAGE=
failures=0

printf 'plain text\n' >"$work/notes.txt"
ln -s loop-b "$work/loop-a" && ln -s loop-a "$work/loop-b"
mkdir "$work/folder.pdf"
mkfifo "$work/pipe.pdf"
escaped=$(printf 'evil\033]0;owned\007.txt')
printf 'text\n' >"$work/$escaped"
printf '%%PDF-1.4 locked\n' >"$work/locked.pdf" && chmod 000 "$work/locked.pdf"

# file | what the refusal must say (a grep pattern)
while IFS='|' read -r file reason; do
  [ "$file" = locked.pdf ] && [ "$(id -u)" -eq 0 ] && continue  # root reads any file
  [ "$file" = ESCAPED ] && file=$escaped
  out=$(timeout 10 "$program" "$work/$file" 2>&1 </dev/null)
  status=$?
  [ "$status" -eq 2 ] || { echo "FAIL: $file: exit $status, not 2 ($out)"; failures=$((failures + 1)); }
  grep -q -- "$reason" <<<"$out" || { echo "FAIL: $file: \"$out\" lacks \"$reason\""; failures=$((failures + 1)); }
  if LC_ALL=C grep -q $'[\001-\010\013-\037\177]' <<<"$out"; then
    echo "FAIL: $file: a control character reached the terminal raw"; failures=$((failures + 1))
  fi
done <<'TABLE'
notes.txt|notes.txt: not a PDF or PostScript file
missing.pdf|missing.pdf: No such file or directory
loop-a|loop-a: Too many levels of symbolic links
folder.pdf|folder.pdf: Is a directory
pipe.pdf|pipe.pdf: not a regular file
locked.pdf|locked.pdf: Permission denied
ESCAPED|evil\\e]0;owned\\x07.txt: not a PDF or PostScript file
TABLE

[ "$failures" -eq 0 ] && echo PASS || { echo "$failures failure(s)"; exit 1; }
