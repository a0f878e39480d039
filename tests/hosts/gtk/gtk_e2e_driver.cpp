// Drives GTK's print dialog with the Job Control tab as a person would, against the CUPS
// server of CUPS_SERVER: picks a queue, fills the tab through its widgets, prints a file
// with GTK's CUPS backend, and prints "JOB <label> <id>" for each job sent.
//
//   gtk_e2e_driver BUNDLE QUEUE1 QUEUE2 FILE
//   gtk_e2e_driver --ipp BUNDLE QUEUE FILE   (one held job with an account number, on a
//                                            driverless queue, in Automatic)
//
// Exits 77 without a display. The checks of what reached the printer are the caller's.
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk/print_tab.h"
#include "hosts/gtk_print/print_job.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
  }
}

bool serveUntil(const std::function<bool()>& done, double seconds = 30) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done() && std::chrono::steady_clock::now() < until)
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  return done();
}

// One print dialog with the tab, shown.
struct Dialog {
  explicit Dialog(const char* bundle) {
    dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
    GError* error = nullptr;
    if (!jobcontrol_gtk_add_tab(dialog, "gtk-e2e.pdf", bundle, &error)) {
      std::printf("FAIL: %s\n", error->message);
      std::exit(1);
    }
    tab = jc::gtk::PrintTab::of(dialog);
    gtk_window_present(GTK_WINDOW(dialog));
  }
  ~Dialog() { gtk_window_destroy(GTK_WINDOW(dialog)); }

  // Selects `queue` once GTK has listed it. (GTK 4.8 forgets a printer asked for in the
  // settings before its backend has listed it, so the request is repeated until it takes.)
  bool select(const std::string& queue) {
    GtkPrintSettings* settings = gtk_print_settings_new();
    gtk_print_settings_set_printer(settings, queue.c_str());
    bool ok = false;
    for (int attempt = 0; attempt < 60 && !ok; ++attempt) {
      gtk_print_unix_dialog_set_settings(dialog, settings);
      ok = serveUntil([&] { return tab->printerId() == queue; }, 0.5);
    }
    g_object_unref(settings);
    check(ok, "the dialog never selected " + queue);
    return ok;
  }
  GtkWidget* widget(const char* outlet) { return tab->binding()->widgetNamed(outlet); }
  jc::TextField& field(const char* outlet) {
    return static_cast<jc::TextField&>(*tab->binding()->controlNamed(outlet));
  }
  void type(const char* outlet, const std::string& text) {
    GtkWidget* entry = widget(outlet);
    gtk_editable_delete_text(GTK_EDITABLE(entry), 0, -1);
    int at = 0;
    gtk_editable_insert_text(GTK_EDITABLE(entry), text.c_str(), -1, &at);
  }
  void click(const char* outlet) {
    // A button's keyboard activation waits for its pressed look; a click is at once.
    GtkWidget* w = widget(outlet);
    if (GTK_IS_BUTTON(w))
      g_signal_emit_by_name(w, "clicked");
    else
      gtk_widget_activate(w);
  }
  void choose(const char* cell) {
    gtk_check_button_set_active(GTK_CHECK_BUTTON(widget(cell)), TRUE);
  }
  // Print, as the person presses the button: the tab answers, then the job goes out.
  void print(const std::string& label, const std::string& file) {
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    send(label, file);
  }
  // Print where the tab asks the printer first: the job goes once the application has
  // heard Print.
  void printWhenAnswered(const std::string& label, const std::string& file) {
    bool heard = false;
    gulong handler =
        g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, int response, bool* heard) {
                           *heard = *heard || response == GTK_RESPONSE_OK;
                         }),
                         &heard);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    bool answered = serveUntil([&] { return heard; });
    g_signal_handler_disconnect(dialog, handler);
    check(answered, "Print never reached the application");
    if (answered) send(label, file);
  }
  void send(const std::string& label, const std::string& file) {
    GtkPrintSettings* settings = jobcontrol_gtk_get_settings(dialog);
    auto id =
        jc::gtk::printFile(gtk_print_unix_dialog_get_selected_printer(dialog), settings,
                           gtk_print_unix_dialog_get_page_setup(dialog), file, "gtk-e2e " + label);
    g_object_unref(settings);
    check(bool(id) && *id > 0, "job " + label + " was not printed: " + id.message());
    if (id) std::printf("JOB %s %d\n", label.c_str(), *id);
    std::fflush(stdout);
  }

  GtkPrintUnixDialog* dialog;
  jc::gtk::PrintTab* tab;
};

// Every preference file with its bytes.
std::map<std::string, std::string> preferences() {
  std::map<std::string, std::string> files;
  const char* home = std::getenv("XDG_CONFIG_HOME");
  std::error_code ec;
  if (!home) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home, ec)) {
    if (!entry.is_regular_file()) continue;
    std::ostringstream bytes;
    bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    files[entry.path().string()] = bytes.str();
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--ipp") {
    if (!gtk_init_check()) return 77;
    Dialog d(argv[2]);
    if (!d.select(argv[3])) return 1;
    d.click("retentionCheckBox");
    d.choose("holdOnlyRadioButton");
    d.type("suspendKeyEditText", "1234");
    d.type("accountNumberEditText", "42");
    d.printWhenAnswered("ipp", argv[4]);
    return failures ? 1 : 0;
  }
  if (argc != 5) {
    std::fprintf(stderr, "usage: gtk_e2e_driver BUNDLE QUEUE1 QUEUE2 FILE\n");
    return 2;
  }
  const char* bundle = argv[1];
  std::string queue1 = argv[2], queue2 = argv[3], file = argv[4];
  if (!gtk_init_check()) return 77;

  {
    // The second queue remembers a held account number.
    Dialog d(bundle);
    if (!d.select(queue2)) return 1;
    d.type("accountNumberEditText", "99");
    d.click("accountNumberButton");
    d.print("held", file);
  }
  {
    // Every entry on the first queue, then the same dialog switched to the second queue.
    Dialog d(bundle);
    if (!d.select(queue1)) return 1;
    d.click("retentionCheckBox");
    gtk_drop_down_set_selected(GTK_DROP_DOWN(d.widget("folderSelectionPopup")), 1);
    d.choose("holdOnlyRadioButton");
    d.type("suspendKeyEditText", "1234");
    d.click("suspendKeyButton");
    d.choose("authenticationRadioButton");
    d.type("loginNameEditText", "alice");
    d.type("passwordEditText", "s3cret");
    d.type("accountNumberEditText", "42");
    d.type("userNameEditText", "Zoë Q");
    d.type("jobNameEditText", "report");
    d.click("jobNameButton");
    check(d.field("passwordEditText").isSecret() ==
              !gtk_entry_get_visibility(GTK_ENTRY(d.widget("passwordEditText"))),
          "the password's characters are shown");
    d.print("first", file);

    if (!d.select(queue2)) return 1;
    check(d.field("userNameEditText").stringValue() == "Zoë Q", "the user name did not carry over");
    check(d.field("accountNumberEditText").stringValue() == "99",
          "the second queue's held account number did not win");
    d.print("switched", file);
  }
  {
    // Cancel: nothing printed and nothing remembered.
    auto before = preferences();
    Dialog d(bundle);
    if (!d.select(queue1)) return 1;
    d.type("userNameEditText", "Mallory");
    d.click("userNameButton");
    gtk_dialog_response(GTK_DIALOG(d.dialog), GTK_RESPONSE_CANCEL);
    check(d.tab->jobOptions().empty(), "Cancel kept job options");
    check(preferences() == before, "Cancel changed the preferences");
  }
  while (g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
  return failures ? 1 : 0;
}
