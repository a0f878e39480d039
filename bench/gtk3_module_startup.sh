#!/usr/bin/env bash
# What the GTK 3 module costs an ordinary GTK 3 program that never prints: a tiny program
# (a window, quit on the first idle after it is mapped) started with the module switched on
# in the user's settings.ini and with the same settings.ini without it, in interleaved
# pairs (bench/pairs.py: medians of wall and CPU time, their ratios, the load). Target: wall
# ratio at most 1.02. Then the libraries the program has mapped at that moment, with and
# without the module: the module may bring in nothing but itself before a dialog opens.
#
#   bench/gtk3_module_startup.sh [BUILD_DIR] [ROUNDS]     (default build/default, 30 rounds)
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$source_dir/build/default}" && pwd)" rounds="${2:-30}"
gtk_path="$build/lib/gtk-3.0"
module="$gtk_path/modules/libjobcontrol-gtk3-module.so"
if [ ! -f "$module" ]; then
  echo "gtk3 module start-up: skipped, no module at $module"
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$rounds"
fi

work=$(mktemp -d /tmp/jc-gtk3-startup.XXXXXX)
trap 'rm -rf "$work"' EXIT
cat >"$work/plain.c" <<'C'
/* An ordinary GTK 3 program: a window that quits on the first idle after it is mapped,
   having written its mapped files to argv[1] when given. */
#include <gtk/gtk.h>
#include <stdio.h>

static const char *maps_out;

static gboolean quit(gpointer unused) {
  (void)unused;
  if (maps_out) {
    gchar *maps = NULL;
    if (g_file_get_contents("/proc/self/maps", &maps, NULL, NULL))
      g_file_set_contents(maps_out, maps, -1, NULL);
    g_free(maps);
  }
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

static gboolean mapped(GtkWidget *w, GdkEvent *e, gpointer unused) {
  (void)w, (void)e, (void)unused;
  g_idle_add(quit, NULL);
  return FALSE;
}

int main(int argc, char **argv) {
  gtk_init(&argc, &argv);
  maps_out = argc > 1 ? argv[1] : NULL;
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "plain");
  gtk_container_add(GTK_CONTAINER(window), gtk_label_new("An ordinary GTK 3 program"));
  g_signal_connect(window, "map-event", G_CALLBACK(mapped), NULL);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
C
# shellcheck disable=SC2046  # pkg-config's words
"${CC:-cc}" -O2 -o "$work/plain" "$work/plain.c" $(pkg-config --cflags --libs gtk+-3.0)

# The same settings.ini read on both sides; only the module line differs.
for side in on off; do mkdir -p "$work/$side/gtk-3.0"; done
printf '[Settings]\ngtk-modules=jobcontrol-gtk3-module\n' >"$work/on/gtk-3.0/settings.ini"
printf '[Settings]\n' >"$work/off/gtk-3.0/settings.ini"
# No desktop bus and no accessibility bridge: their time-outs would swamp what is measured.
export GTK_PATH="$gtk_path" GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
with="env XDG_CONFIG_HOME=$work/on $work/plain" without="env XDG_CONFIG_HOME=$work/off $work/plain"

echo "== a GTK 3 program's start to its first idle: module switched on vs off"
python3 "$source_dir/bench/pairs.py" --rounds "$rounds" --label-a "with the module" \
  --label-b "without" "$with" "$without"

# The files mapped with the module on that are not mapped without it: the module alone.
libraries() { $1 "$2" && awk '$6 ~ /\.so/ { print $6 }' "$2" | xargs -r realpath -e | sort -u; }
extra=$(comm -23 <(libraries "$with" "$work/on.maps") <(libraries "$without" "$work/off.maps"))
module=$(realpath -e "$module")
if ! grep -qxF "$module" <<<"$extra"; then
  echo "FAIL: the module was not loaded (settings.ini, GTK_PATH=$gtk_path)" >&2
  exit 1
fi
beyond=$(grep -vxF "$module" <<<"$extra" || true)
if [ -n "$beyond" ]; then
  echo "FAIL: with the module, libraries beyond GTK's own are mapped before any dialog:" >&2
  echo "$beyond" >&2
  exit 1
fi
echo "mapped before a dialog opens: the module and nothing else beyond GTK's own libraries"
