#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds one preset. Usage: scripts/bootstrap.sh [PRESET]   (default: "default"; "none" only
# installs)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

packages=(build-essential cmake ninja-build pkg-config gettext
          libcups2-dev libssl-dev libcurl4-openssl-dev libpugixml-dev libplist-dev
          libgtest-dev libgmock-dev libbenchmark-dev openssl
          cups cups-client cups-ipp-utils dbus avahi-daemon
          libgtk-4-dev xvfb xauth xdotool fonts-ipafont-gothic)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "$preset" = none ] && exit 0
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
