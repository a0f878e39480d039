#!/usr/bin/env bash
# Installs the Debian packages named that are not installed yet (apt waits for the dpkg
# lock, as other installs may be running). Usage: scripts/install-packages.sh PACKAGE...
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
  --no-install-recommends "${missing[@]}"
