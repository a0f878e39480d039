#!/usr/bin/env bash
# Installs the Debian packages of build/package/debs with apt, checks that the installed
# command, manual page, library and completion work from their system places, then purges
# them and checks that nothing of theirs is left but the user's preferences.
# Needs root; changes /usr while it runs, so CI runs it, not ctest.
# Usage: tests/package/deb_install.sh [DEB_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
deb_dir=$(realpath "${1:-build/package/debs}")
debs=("$deb_dir"/*.deb)
[ -e "${debs[0]}" ] || { echo "no packages in $deb_dir: run scripts/package.sh" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "installing packages needs root" >&2; exit 1; }

names=() passed=0 failures=0
for deb in "${debs[@]}"; do names+=("$(dpkg-deb -f "$deb" Package)"); done
version=$(dpkg-deb -f "${debs[0]}" Version)
for name in "${names[@]}"; do
  if dpkg-query -W -f='${db:Status-Status}' "$name" 2>/dev/null | grep -qv not-installed; then
    echo "$name is already on this machine; remove it first" >&2
    exit 1
  fi
done

work=$(mktemp -d /tmp/jobcontrol-deb.XXXXXX)
purge() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 purge -y -qq "${names[@]}" >"$work/purge.log" 2>&1; }
# Whatever happens, the machine does not keep our packages: others' builds must not find them.
trap 'purge || cat "$work/purge.log"; rm -rf "$work"' EXIT
check() {  # check DESCRIPTION COMMAND...: runs the command, counts a failure
  if "${@:2}" >"$work/out" 2>&1; then
    printf 'ok      %s\n' "$1"; passed=$((passed + 1))
  else
    printf 'FAILED  %s\n' "$1"; sed 's/^/        /' "$work/out"; failures=$((failures + 1))
  fi
}

# Every path the packages ship; the ones already on the machine (/usr, /usr/bin...) are not
# ours and must stay after the purge.
for deb in "${debs[@]}"; do dpkg-deb --fsys-tarfile "$deb" | tar -t; done |
  sed 's|^\./|/|; s|/$||' | grep -v '^/\?$' | sort -u >"$work/shipped"
while read -r path; do [ -e "$path" ] || [ -L "$path" ] || echo "$path"; done \
  <"$work/shipped" >"$work/new"

DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
  --no-install-recommends "${debs[@]}" \
  >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
printf 'installed %s %s\n' "${names[*]}" "$version"

# The smoke run keeps its preferences and temporary files to itself, away from the source
# tree, with no hint where the bundle is: the command must find the installed one.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"
unset JOBCONTROL_BUNDLE
cd "$work"
libdir=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expect() {  # expect WANTED COMMAND...: the command succeeds and prints WANTED
  local out status=0
  out=$("${@:2}" 2>&1) || status=$?
  printf '%s\n' "$out"
  [ "$status" -eq 0 ] && grep -aqF -- "$1" <<<"$out"
}
check "jobcontrol is /usr/bin/jobcontrol" test "$(command -v jobcontrol)" = /usr/bin/jobcontrol
check "jobcontrol --version" expect "$version" jobcontrol --version
check "jobcontrol show loads the installed bundle" \
  expect "file=$libdir/jobcontrol/JobControl.plugin/JobControl.so" \
  env LD_DEBUG=files jobcontrol show
check "jobcontrol show on the demo printer" expect "Job Control" jobcontrol show
# The folder exchange loads the library's HTTP module from its installed place.
simulator=$deb_dir/../bin/printer-simulator
if [ -x "$simulator" ]; then
  "$simulator" --port-file "$work/port" --folder Sales >"$work/simulator.log" 2>&1 &
  simulator_pid=$!
  for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  check "jobcontrol folders from the printer simulator" \
    expect "Sales" jobcontrol folders --address "127.0.0.1:$(cat "$work/port")"
  kill "$simulator_pid"; wait "$simulator_pid" 2>/dev/null || true
fi
check "the panel's German captions" \
  expect "Auftragsbehandlung" env LANGUAGE=de LC_ALL=C.UTF-8 jobcontrol show
if [ -e /usr/share/locale/de/LC_MESSAGES/jobcontrol-cli.mo ]; then
  check "the command's German messages" \
    bash -c '! diff <(LANGUAGE=de LC_ALL=C.UTF-8 jobcontrol --help 2>&1) <(LC_ALL=C.UTF-8 jobcontrol --help 2>&1) >/dev/null'
fi
check "man -w jobcontrol" expect "/usr/share/man/man1/jobcontrol.1.gz" man -w jobcontrol
check "no installed program lacks a library" \
  bash -c '! for f in $(dpkg -L '"${names[*]}"' | sort -u); do
             [ -f "$f" ] && file -b "$f" | grep -q "^ELF" && ldd "$f" | grep "not found" && echo "$f"
           done | grep .'
# The cipher and digest come from nettle: no package, program or module brings OpenSSL in.
check "no package depends on OpenSSL" \
  bash -c '! for deb; do dpkg-deb -f "$deb" Depends; done | grep -E "libssl|libcrypto"' _ "${debs[@]}"
check "no installed program or module needs OpenSSL" \
  bash -c '! for f in $(dpkg -L '"${names[*]}"' | sort -u); do
             [ -f "$f" ] && file -b "$f" | grep -q "^ELF" &&
               readelf -d "$f" | grep -qE "NEEDED.*(libcrypto|libssl)" && echo "$f"
           done | grep .'
if [[ " ${names[*]} " == *" libjobcontrol-dev "* ]]; then
  check "pkg-config jobcontrol" expect "$version" pkg-config --modversion jobcontrol
  printf '#include <platform/host/loader.h>\nint main() { return 0; }\n' >"$work/use.cpp"
  check "a program builds against the -dev package" \
    bash -c "c++ -std=c++20 use.cpp \$(pkg-config --cflags --libs jobcontrol) -o use && ./use"
  mkdir -p "$work/cmake-use"
  printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(use CXX)' \
    'find_package(JobControl REQUIRED)' 'add_executable(use ../use.cpp)' \
    'target_compile_features(use PRIVATE cxx_std_20)' \
    'target_link_libraries(use PRIVATE JobControl::jobcontrol)' >"$work/cmake-use/CMakeLists.txt"
  check "find_package(JobControl) from the -dev package" \
    bash -c "cmake -S cmake-use -B cmake-use/build -G Ninja && cmake --build cmake-use/build"
fi
if [[ " ${names[*]} " == *" libjobcontrol-gtk-dev "* ]]; then
  printf '#include <jobcontrol-gtk.h>\nint main(void) { return jobcontrol_gtk_add_tab == 0; }\n' >"$work/use-gtk.c"
  check "a GTK program builds against libjobcontrol-gtk-dev" \
    bash -c "cc use-gtk.c \$(pkg-config --cflags --libs jobcontrol-gtk) -o use-gtk && ./use-gtk"
fi
if [[ " ${names[*]} " == *" jobcontrol-gtk "* ]]; then
  check "man -w jobcontrol-print" expect "/usr/share/man/man1/jobcontrol-print.1.gz" \
    man -w jobcontrol-print
fi
for desktop in /usr/share/applications/jobcontrol*.desktop; do
  [ -e "$desktop" ] || continue
  check "$(basename "$desktop") starts an installed program" \
    bash -c "command -v \"\$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' $desktop)\""
done
# The GTK 3 module comes switched off; switched on, the purge below must take it back.
switched=()
if [[ " ${names[*]} " == *" jobcontrol-gtk3 "* ]]; then
  check "jobcontrol-gtk3 is installed switched off" \
    bash -c 'out=$(LANGUAGE=C jobcontrol desktop status) && printf "%s\n" "$out" &&
             grep -q "^For every user:" <<<"$out" &&
             ! grep -A3 "^For every user:" <<<"$out" | grep -F ": on ("'
  if [ -e "$libdir/gtk-3.0/modules/libjobcontrol-gtk3-module.so" ]; then
    check "jobcontrol desktop enable switches the module on for every user" \
      expect "/etc/gtk-3.0/settings.ini" jobcontrol desktop enable
    switched=(/usr/lib/gnome-settings-daemon-3.0/gtk-modules/jobcontrol-gtk3-module.desktop
              /etc/environment.d/90jobcontrol-gtk3-module.conf)
  fi
fi
completion=/usr/share/bash-completion/completions/jobcontrol
if [ -e "$completion" ]; then
  check "bash completion loads" bash -c "source $completion && complete -p jobcontrol"
fi

purge || { cat "$work/purge.log"; exit 1; }
trap 'rm -rf "$work"' EXIT
check "purged: no package left, not even its configuration" \
  bash -c '! dpkg-query -W '"${names[*]}"' 2>/dev/null | grep .'
check "purged: nothing of ours left on the system" \
  bash -c '! while read -r p; do [ -e "$p" ] || [ -L "$p" ] && echo "left: $p"; done <new | grep .'
if [ ${#switched[@]} -gt 0 ]; then
  check "purged: the switch for every user is off again" \
    bash -c '! ls "$@" 2>/dev/null | grep . && ! grep -s jobcontrol-gtk3-module /etc/gtk-3.0/settings.ini' \
    _ "${switched[@]}"
fi
printf 'kept: the user'"'"'s own files: %s\n' "$(cd "$HOME" && find . -type f | tr '\n' ' ')"

echo "packages: $passed passed, $failures failed"
[ "$failures" -eq 0 ]
