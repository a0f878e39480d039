// The C interface of the tab for GTK applications: thin calls into the tab, no exception
// crosses it.
#include "hosts/gtk/jobcontrol-gtk.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include "hosts/gtk/print_tab.h"

namespace {

std::string bundlePath(const char* given) {
  if (given && *given) return given;
  if (const char* env = std::getenv("JOBCONTROL_BUNDLE"); env && *env) return env;
  std::error_code ec;
  if (std::filesystem::is_directory(JOBCONTROL_INSTALLED_BUNDLE, ec))
    return JOBCONTROL_INSTALLED_BUNDLE;
  return JOBCONTROL_BUILD_BUNDLE;
}

}  // namespace

extern "C" {

GQuark jobcontrol_gtk_error_quark(void) {
  return g_quark_from_static_string("jobcontrol-gtk-error-quark");
}

gboolean jobcontrol_gtk_add_tab(GtkPrintUnixDialog* dialog, const char* job_name,
                                const char* bundle_path, GError** error) {
  g_return_val_if_fail(GTK_IS_PRINT_UNIX_DIALOG(dialog), FALSE);
  try {
    auto tab = jc::gtk::PrintTab::attach(dialog, job_name ? job_name : "", bundlePath(bundle_path));
    if (tab) return TRUE;
    g_set_error_literal(error, JOBCONTROL_GTK_ERROR, 1, tab.message().c_str());
  } catch (const std::exception& e) {
    g_set_error_literal(error, JOBCONTROL_GTK_ERROR, 2, e.what());
  }
  return FALSE;
}

GtkPrintSettings* jobcontrol_gtk_get_settings(GtkPrintUnixDialog* dialog) {
  g_return_val_if_fail(GTK_IS_PRINT_UNIX_DIALOG(dialog), nullptr);
  GtkPrintSettings* settings = gtk_print_unix_dialog_get_settings(dialog);
  if (jc::gtk::PrintTab* tab = jc::gtk::PrintTab::of(dialog))
    for (const auto& [key, value] : tab->jobOptions())
      gtk_print_settings_set(settings, ("cups-" + key).c_str(), value.c_str());
  return settings;
}

}  // extern "C"
