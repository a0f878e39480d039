#!/usr/bin/env bash
# The bash completion of jobcontrol, run by an interactive bash as a user's shell would:
# each line is split into words the way bash splits them ('=' is a word of its own), the
# registered completion function is called, and its answers are checked.
#
#   cli_completion_test.sh COMPLETION_FILE JOBCONTROL BUNDLE
set -uo pipefail
completion="$1" cli="$2" bundle="$3"
work=$(mktemp -d /tmp/jc-completion.XXXXXX)
trap 'rm -rf "$work"' EXIT

# A stand-in lpstat: the queue names CUPS would list.
mkdir -p "$work/bin"
printf '#!/bin/sh\n[ "$1" = -e ] && printf "office-mfp\\nlab\\n"\n' >"$work/bin/lpstat"
chmod +x "$work/bin/lpstat"
ln -s "$cli" "$work/bin/jobcontrol"
export PATH="$work/bin:$PATH" XDG_CONFIG_HOME="$work/config" JOBCONTROL_BUNDLE="$bundle"
export CUPS_SERVER=127.0.0.1:1 HOME="$work"
unset PRINTER LPDEST
jobcontrol --demo set lock=job-name lock=user-name >/dev/null 2>&1 || { echo "FAIL: set"; exit 1; }

bash --norc --noprofile -i -c '
source "$1"
failures=0
# complete LINE EXPECTED...: the answers for the cursor at the end of LINE.
check() {
  local line="$1"; shift
  COMP_LINE=$line COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"${line//=/ = }"
  [[ $line == *[[:space:]] || $line == *= ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  local function
  function=$(complete -p jobcontrol | sed -n "s/.*-F \([^ ]*\).*/\1/p")
  "$function" jobcontrol "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
  local got
  got=$(printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " ")
  local want
  want=$(printf "%s\n" "$@" | sort | tr "\n" " ")
  if [[ $got != "$want" ]]; then
    echo "FAIL: \"$line\": got [$got], want [$want]"
    failures=$((failures + 1))
  fi
}
check "jobcontrol pr" print printers
check "jobcontrol he" help
check "jobcontrol show --js" --json
check "jobcontrol --printer o" office-mfp
check "jobcontrol print -d " office-mfp lab
check "jobcontrol set ret" retention=
check "jobcontrol set retention=hold" hold-only hold-after
check "jobcontrol set auth=" login number
check "jobcontrol set lock=pass" pass-code password
check "jobcontrol set password=" -
check "jobcontrol --demo set unlock=" job-name user-name
check "jobcontrol print --s" --secrets-file --settings
check "jobcontrol de" decode desktop
check "jobcontrol desktop " enable disable status
check "jobcontrol desktop enable --" --help --user
check "jobcontrol help qu" queue
check "jobcontrol queue " enable refresh disable
check "jobcontrol queue enable --address 10.0.0.5 " office-mfp lab
check "jobcontrol queue refresh --address=10.0.0.5 --filter /bin/cat o" office-mfp
check "jobcontrol queue enable lab "
check "jobcontrol queue enable lab --" --help --private --address --filter
check "jobcontrol queue disable lab --" --help
exit $failures
' bash "$completion" 2>"$work/stderr"
status=$?
[ $status -eq 0 ] && echo PASS || { cat "$work/stderr" | grep -v "no job control\|cannot set terminal" | head -5; exit 1; }
