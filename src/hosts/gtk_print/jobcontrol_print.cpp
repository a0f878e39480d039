// jobcontrol-print FILE…: the desktop program. Opens GTK's print dialog with the Job
// Control tab for PDF or PostScript files and prints them with the options chosen.
#include <libintl.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk_print/print_job.h"

// GtkMessageDialog and GtkFileChooserDialog are the dialogs of GTK 4.8.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#define _(text) gettext(text)

namespace {

struct Options {
  std::vector<std::string> files;
  const char* bundle = nullptr;
  const char* printer = nullptr;
  bool withTab = true;
  bool exitOnFirstFrame = false;
};

const auto kStarted = std::chrono::steady_clock::now();

void usage(FILE* to) {
  std::fprintf(to,
               "usage: jobcontrol-print [--printer QUEUE] [--bundle DIR] [FILE...]\n"
               "  Prints PDF or PostScript files from GTK's print dialog with the Job Control "
               "tab;\n  without a FILE a file chooser asks for them.\n");
}

// Serves GLib's main context until `done`.
void serveUntil(const bool& done) {
  while (!done) g_main_context_iteration(nullptr, TRUE);
}

void tell(GtkWindow* parent, GtkMessageType type, const std::string& message) {
  GtkWidget* dialog =
      gtk_message_dialog_new(parent, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", message.c_str());
  bool done = false;
  g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkWidget* d, int, bool* done) {
                     *done = true;
                     gtk_window_destroy(GTK_WINDOW(d));
                   }),
                   &done);
  gtk_window_present(GTK_WINDOW(dialog));
  serveUntil(done);
}

std::vector<std::string> chooseFiles() {
  GtkWidget* chooser = gtk_file_chooser_dialog_new(
      _("Choose Files to Print"), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, _("_Cancel"),
      GTK_RESPONSE_CANCEL, _("_Open"), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser), TRUE);
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, _("PDF and PostScript documents"));
  gtk_file_filter_add_mime_type(filter, "application/pdf");
  gtk_file_filter_add_mime_type(filter, "application/postscript");
  gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
  g_object_unref(filter);
  int response = GTK_RESPONSE_NONE;
  g_signal_connect(chooser, "response",
                   G_CALLBACK(+[](GtkWidget*, int r, int* response) { *response = r; }), &response);
  gtk_window_present(GTK_WINDOW(chooser));
  while (response == GTK_RESPONSE_NONE) g_main_context_iteration(nullptr, TRUE);
  std::vector<std::string> files;
  if (response == GTK_RESPONSE_ACCEPT) {
    GListModel* chosen = gtk_file_chooser_get_files(GTK_FILE_CHOOSER(chooser));
    for (guint i = 0; i < g_list_model_get_n_items(chosen); ++i) {
      auto* file = G_FILE(g_list_model_get_item(chosen, i));
      if (char* path = g_file_get_path(file)) {
        files.emplace_back(path);
        g_free(path);
      }
      g_object_unref(file);
    }
    g_object_unref(chosen);
  }
  gtk_window_destroy(GTK_WINDOW(chooser));
  return files;
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if ((arg == "--bundle" || arg == "--printer") && i + 1 < argc)
      (arg == "--bundle" ? options.bundle : options.printer) = argv[++i];
    else if (arg == "--without-tab")  // the bare dialog, for comparing start-up times
      options.withTab = false;
    else if (arg == "--exit-on-first-frame")
      options.exitOnFirstFrame = true;
    else if (arg == "--help" || arg == "-h") {
      usage(stdout);
      std::exit(0);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "jobcontrol-print: unknown option %s\n", arg.c_str());
      return false;
    } else
      options.files.push_back(arg);
  }
  return true;
}

// The refusal of a file that is neither PDF nor PostScript, or "" when it is one.
std::string refusalOf(const std::string& file) {
  if (jc::documentKind(file) != jc::DocumentKind::Other) return "";
  char message[1024];
  std::snprintf(message, sizeof message, _("%s: not a PDF or PostScript file"), file.c_str());
  return message;
}

// The time from start to the dialog's first painted frame, for the start-up benchmark.
void reportFirstFrame(GdkFrameClock*, gpointer) {
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kStarted)
                  .count();
  std::printf("first-frame-ms %.1f\n", ms);
  std::fflush(stdout);
  std::_Exit(0);
}

void watchFirstFrame(GtkWidget* dialog, gpointer) {
  g_signal_connect(gtk_widget_get_frame_clock(dialog), "after-paint", G_CALLBACK(reportFirstFrame),
                   nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::error_code ec;
  bindtextdomain("jobcontrol-print", std::filesystem::is_directory(JOBCONTROL_LOCALE_DIR, ec)
                                         ? JOBCONTROL_LOCALE_DIR
                                         : JOBCONTROL_BUILD_LOCALE_DIR);
  bind_textdomain_codeset("jobcontrol-print", "UTF-8");
  textdomain("jobcontrol-print");

  Options options;
  if (!parse(argc, argv, options)) {
    usage(stderr);
    return 2;
  }
  // Files named on the command line are checked before any window opens.
  for (const auto& file : options.files)
    if (std::string why = refusalOf(file); !why.empty()) {
      std::fprintf(stderr, "jobcontrol-print: %s\n", why.c_str());
      return 2;
    }
  if (!gtk_init_check()) {
    std::fprintf(stderr, "jobcontrol-print: cannot open a display\n");
    return 1;
  }
  if (options.files.empty() && !options.exitOnFirstFrame) {
    options.files = chooseFiles();
    if (options.files.empty()) return 1;
    for (const auto& file : options.files)
      if (std::string why = refusalOf(file); !why.empty()) {
        tell(nullptr, GTK_MESSAGE_ERROR, why);
        return 2;
      }
  }

  std::string title = options.files.empty()
                          ? std::string("jobcontrol-print")
                          : std::filesystem::path(options.files.front()).filename().string();
  GtkWidget* dialog = gtk_print_unix_dialog_new(_("Print with Job Control"), nullptr);
  auto* printDialog = GTK_PRINT_UNIX_DIALOG(dialog);
  if (options.printer) {
    // GTK 4.8 forgets a printer asked for before its backend has listed it: ask again
    // until it is selected, for at most ten seconds.
    struct Preset {
      GtkPrintUnixDialog* dialog;
      std::string printer;
      int attempts = 0;
    };
    auto* preset = new Preset{printDialog, options.printer};
    g_object_add_weak_pointer(G_OBJECT(printDialog), reinterpret_cast<gpointer*>(&preset->dialog));
    auto ask = +[](gpointer data) -> gboolean {
      auto* p = static_cast<Preset*>(data);
      if (!p->dialog) return G_SOURCE_REMOVE;
      GtkPrinter* selected = gtk_print_unix_dialog_get_selected_printer(p->dialog);
      if ((selected && p->printer == gtk_printer_get_name(selected)) || ++p->attempts > 40)
        return G_SOURCE_REMOVE;
      GtkPrintSettings* settings = gtk_print_settings_new();
      gtk_print_settings_set_printer(settings, p->printer.c_str());
      gtk_print_unix_dialog_set_settings(p->dialog, settings);
      g_object_unref(settings);
      return G_SOURCE_CONTINUE;
    };
    ask(preset);
    g_timeout_add_full(G_PRIORITY_DEFAULT, 250, ask, preset, [](gpointer data) {
      auto* p = static_cast<Preset*>(data);
      if (p->dialog)
        g_object_remove_weak_pointer(G_OBJECT(p->dialog), reinterpret_cast<gpointer*>(&p->dialog));
      delete p;
    });
  }
  GError* error = nullptr;
  if (options.withTab &&
      !jobcontrol_gtk_add_tab(printDialog, title.c_str(), options.bundle, &error)) {
    char message[1024];
    std::snprintf(message, sizeof message, _("The Job Control tab could not be added: %s"),
                  error->message);
    std::fprintf(stderr, "jobcontrol-print: %s\n", message);
    g_error_free(error);
    return 1;
  }
  if (options.exitOnFirstFrame)
    g_signal_connect(dialog, "realize", G_CALLBACK(watchFirstFrame), nullptr);

  int response = GTK_RESPONSE_NONE;
  g_signal_connect(dialog, "response",
                   G_CALLBACK(+[](GtkWidget*, int r, int* response) { *response = r; }), &response);
  gtk_window_present(GTK_WINDOW(dialog));
  while (response == GTK_RESPONSE_NONE) g_main_context_iteration(nullptr, TRUE);
  if (response != GTK_RESPONSE_OK) {
    gtk_window_destroy(GTK_WINDOW(dialog));
    return 1;
  }

  GtkPrintSettings* settings = jobcontrol_gtk_get_settings(printDialog);
  GtkPrinter* printer =
      GTK_PRINTER(g_object_ref(gtk_print_unix_dialog_get_selected_printer(printDialog)));
  GtkPageSetup* pageSetup =
      GTK_PAGE_SETUP(g_object_ref(gtk_print_unix_dialog_get_page_setup(printDialog)));
  gtk_widget_set_visible(dialog, FALSE);
  std::string report;
  int status = 0;
  for (const auto& file : options.files) {
    std::string jobTitle = std::filesystem::path(file).filename().string();
    auto id = jc::gtk::printFile(printer, settings, pageSetup, file, jobTitle);
    char line[1024];
    if (id)
      std::snprintf(line, sizeof line, _("%s: printed as job %d on %s"), jobTitle.c_str(), *id,
                    gtk_printer_get_name(printer));
    else {
      std::snprintf(line, sizeof line, _("Printing failed: %s"), id.message().c_str());
      status = 1;
    }
    std::printf("%s\n", line);
    report += std::string(report.empty() ? "" : "\n") + line;
  }
  std::fflush(stdout);
  tell(nullptr, status ? GTK_MESSAGE_ERROR : GTK_MESSAGE_INFO, report);
  g_object_unref(settings);
  g_object_unref(printer);
  g_object_unref(pageSetup);
  gtk_window_destroy(GTK_WINDOW(dialog));
  return status;
}
