#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds one preset. Usage: scripts/bootstrap.sh [PRESET]   (default: "default"; "none" only
# installs)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

packages=(build-essential cmake ninja-build pkg-config gettext
          libcups2-dev nettle-dev libcurl4-gnutls-dev libpugixml-dev libplist-dev
          libgtest-dev libgmock-dev libbenchmark-dev openssl
          cups cups-client cups-ipp-utils cups-filters-core-drivers dbus avahi-daemon
          libgtk-4-dev xvfb xauth xdotool fonts-ipafont-gothic
          libglib2.0-bin gnome-settings-daemon-common
          libgtk-3-dev python3-pyatspi python3-gi-cairo gir1.2-gtk-3.0 at-spi2-core gtk-3-examples)
scripts/install-packages.sh "${packages[@]}"

[ "$preset" = none ] && exit 0
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
