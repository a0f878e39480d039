#!/usr/bin/env bash
# What loading the system's libraries alone costs a `jobcontrol` command: an empty program
# linked with every library outside the build tree that the command ends up loading (its
# own, the plug-in's and the HTTP module's dependencies), timed beside a baseline command
# and beside the command itself in interleaved pairs (bench/pairs.py). The floor's ratio to
# the baseline is what no work of ours can go below while those libraries are loaded.
#
#   bench/library_floor.sh 'JOBCONTROL COMMAND' 'BASELINE COMMAND' [ROUNDS]   (not for CI)
#
# e.g.  bench/library_floor.sh 'build/default/bin/jobcontrol show --demo' 'lpoptions -l'
#       bench/library_floor.sh 'build/default/bin/jobcontrol folders --address 127.0.0.1:PORT' \
#         "curl -sS -o /dev/null --data-binary @bundle/listfiles.xml http://127.0.0.1:PORT/"
# (for `folders`, start bin/printer-simulator first; cli_folders_bench.sh shows how).
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
command="$1"
baseline="$2"
rounds="${3:-40}"
pairs="$source_dir/bench/pairs.py"
cc="${CC:-cc}"

work=$(mktemp -d /tmp/jc-floor.XXXXXX)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" TMPDIR="$work"

# The dynamic loader names every object it maps; keep the system's (ours all carry the
# project's name).
read -r -a argv <<<"$command"
libraries=$(LD_DEBUG=files "${argv[@]}" 2>&1 >/dev/null |
  sed -nE 's/.*file=([^ ]*) \[0\];  generating link map.*/\1/p' | xargs -n1 basename |
  grep -v -i -e jobcontrol -e '^ld-linux' | sed 's/^/-l:/' | sort -u)
echo 'int main(void) { return 0; }' >"$work/floor.c"
# shellcheck disable=SC2086  # one word per library
"$cc" -O2 -o "$work/floor" "$work/floor.c" -Wl,--no-as-needed $libraries
echo "== libraries alone: $(wc -w <<<"$libraries") system libraries"
python3 "$pairs" --rounds "$rounds" --label-a "libraries alone" --label-b "baseline" \
  "$work/floor" "$baseline"
python3 "$pairs" --rounds "$rounds" --label-a "jobcontrol" --label-b "libraries alone" \
  "$command" "$work/floor"
