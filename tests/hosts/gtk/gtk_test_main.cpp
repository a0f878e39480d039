// The main of the GTK host's tests: the fixed environment of every test program, a headless
// GTK that makes criticals fatal, and a skip (77) when no display can be opened.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  ::setenv("JOBCONTROL_SYSTEM_ENCODING", "0", 1);
  ::setenv("LANGUAGE", "", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::setenv("GSK_RENDERER", "cairo", 0);
  ::setenv("GSETTINGS_BACKEND", "memory", 0);
  ::setenv("GTK_A11Y", "test", 0);
  ::setenv("NO_AT_BRIDGE", "1", 0);
  // Hermetic: no desktop bus (a slow colord or avahi would hold GTK's CUPS backend up), and
  // no CUPS server whose printers the dialog would select by itself.
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent", 1);
  ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
  ::setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  ::testing::InitGoogleTest(&argc, argv);
  if (!gtk_init_check()) {
    std::fprintf(stderr, "SKIPPED: no display (run under xvfb-run -a)\n");
    return 77;
  }
  g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_ERROR));
  // Preferences of their own: these tests fetch and hold entries for the demo printer, which
  // other test programs read from the shared test folder.
  std::string config = (std::filesystem::temp_directory_path() / "jc-gtk-tests-XXXXXX").string();
  if (!::mkdtemp(config.data())) return 1;
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  int status = RUN_ALL_TESTS();
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  return status;
}
