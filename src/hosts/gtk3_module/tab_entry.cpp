// The tab's side of the GTK 3 module: the dialog gets the tab every host shows, the Print
// response leaves the panel's job options for the job it starts, and that job carries them
// in its own settings. No exception crosses into the application.
#include "hosts/gtk3_module/tab_entry.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "hosts/gtk/print_tab.h"

namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

// Job options a Print response left for the job it starts. The job is known by the printer
// object the dialog chose: GTK makes those per dialog, so an unrelated later job to a
// printer of the same name does not match.
struct Waiting {
  GtkPrinter* printer;  // weak: the record goes when the printer goes
  Options options;
};
std::vector<Waiting> waiting;

void forget(GtkPrinter* printer) {
  std::erase_if(waiting, [&](const Waiting& w) { return w.printer == printer; });
}

void wait(GtkPrinter* printer, Options options) {
  forget(printer);
  if (options.empty()) return;
  if (!g_object_get_data(G_OBJECT(printer), "jobcontrol-watched")) {
    g_object_set_data(G_OBJECT(printer), "jobcontrol-watched", GINT_TO_POINTER(1));
    g_object_weak_ref(
        G_OBJECT(printer), [](gpointer, GObject* gone) { forget(GTK_PRINTER(gone)); }, nullptr);
  }
  waiting.push_back({printer, std::move(options)});
}

std::string bundlePath() {
  if (const char* env = std::getenv("JOBCONTROL_BUNDLE"); env && *env) return env;
  std::error_code ec;
  if (std::filesystem::is_directory(JOBCONTROL_INSTALLED_BUNDLE, ec))
    return JOBCONTROL_INSTALLED_BUNDLE;
  return JOBCONTROL_BUILD_BUNDLE;
}

void say(const std::string& what) {
  std::cerr << "jobcontrol-gtk3-module: " << what << "\n";
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) gboolean jobcontrol_gtk3_tab_attach(
    GtkPrintUnixDialog* dialog) {
  try {
    if (jc::gtk::PrintTab::of(dialog)) return TRUE;
    // The dialog does not know the document; the application's name stands for it.
    const char* name = g_get_application_name();
    auto tab = jc::gtk::PrintTab::attach(dialog, name ? name : "", bundlePath(), true);
    if (tab) return TRUE;
    say("no Job Control tab: " + tab.message());
  } catch (const std::exception& e) {
    say(std::string("no Job Control tab: ") + e.what());
  }
  return FALSE;
}

__attribute__((visibility("default"))) void jobcontrol_gtk3_tab_respond(GtkPrintUnixDialog* dialog,
                                                                        int response) {
  try {
    jc::gtk::PrintTab* tab = jc::gtk::PrintTab::of(dialog);
    if (!tab) return;
    tab->respond(response);
    GtkPrinter* printer = gtk_print_unix_dialog_get_selected_printer(dialog);
    if (!printer) return;
    if (response == GTK_RESPONSE_OK && tab->panel())
      wait(printer, tab->jobOptions());
    else
      forget(printer);
  } catch (const std::exception& e) {
    say(std::string("the Job Control tab could not answer: ") + e.what());
  }
}

__attribute__((visibility("default"))) void jobcontrol_gtk3_tab_job_sending(GtkPrintJob* job) {
  GtkPrinter* printer = gtk_print_job_get_printer(job);
  auto it = std::find_if(waiting.begin(), waiting.end(),
                         [&](const Waiting& w) { return w.printer == printer; });
  if (it == waiting.end()) return;
  // The job's own copy of the settings: the application's saved settings never see a key.
  GtkPrintSettings* settings = gtk_print_job_get_settings(job);
  for (const auto& [key, value] : it->options)
    gtk_print_settings_set(settings, ("cups-" + key).c_str(), value.c_str());
  waiting.erase(it);
}

}  // extern "C"
