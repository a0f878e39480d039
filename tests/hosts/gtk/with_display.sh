#!/bin/sh
# Runs a GTK test program on the display there is, else on a fresh Xvfb; exits 77 (skipped)
# only when neither is to be had.
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then exec "$@"; fi
command -v xvfb-run >/dev/null 2>&1 || { echo "SKIPPED: no display and no xvfb-run"; exit 77; }
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
