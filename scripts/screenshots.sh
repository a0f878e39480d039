#!/usr/bin/env bash
# Renders the GTK print dialog's Job Control tab to PNG files under doc/ (English, German,
# Japanese; retention on with a pass code and "Advanced" open, and the folder pop-up open).
#   scripts/screenshots.sh [BUILD_DIR]      (default build/default, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
cmake --build "$build" --target gtk_screenshot jc_bundle_resources JobControlPlugin
export GSK_RENDERER=cairo GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 XDG_CONFIG_HOME=$(mktemp -d)
# No desktop bus and no CUPS server: the shots show the demo printer and nothing else.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
export CUPS_SERVER=/nonexistent/cups.sock
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
# The built bundle sits in the build tree's library folder (lib, or lib/<multiarch>).
bundle=$(find "$build" -maxdepth 4 -type d -path '*/jobcontrol/JobControl.plugin' | head -n 1)
[ -n "$bundle" ] || { echo "no JobControl.plugin under $build" >&2; exit 1; }
for language in en de ja; do
  tests/hosts/gtk/with_display.sh "$build/tests/hosts/gtk/gtk_screenshot" "$bundle" doc "$language"
done
