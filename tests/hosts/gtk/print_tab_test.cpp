// The tab in a real GtkPrintUnixDialog, without a CUPS server: printers given by the demo
// PPD, the Print and Cancel responses, values carried to another printer, a printer change
// while the panel's alert is up, and the tab going with the dialog's widgets.
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "gtk_fixture.h"
#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk/print_tab.h"
#include "printer_simulator.h"
#include "soap/soap_client.h"

namespace jc::test {
namespace {

constexpr const char* kKey = "vorelia.print.PrintSettings.";

gtk::PrinterInfo demoPrinter(const std::string& id, const std::string& uri = "ipp://127.0.0.1/") {
  gtk::PrinterInfo info;
  info.id = id;
  info.deviceURI = uri;
  info.ppd = openPPDFile(std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd", nullptr);
  return info;
}

class TabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config = std::filesystem::temp_directory_path() /
             ("jc-gtk-tab-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
    std::filesystem::create_directories(config);
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) saved = home;
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
    GError* error = nullptr;
    ASSERT_TRUE(jobcontrol_gtk_add_tab(dialog, "report.pdf", kBundleDir, &error))
        << (error ? error->message : "");
    tab = gtk::PrintTab::of(dialog);
    ASSERT_NE(tab, nullptr);
  }
  void TearDown() override {
    if (dialog) gtk_window_destroy(GTK_WINDOW(dialog));
    settle();
    std::filesystem::remove_all(config);
    ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  }
  GtkWidget* widget(const char* outlet) { return tab->binding()->widgetNamed(outlet); }
  const TextField& field(const char* outlet) {
    return static_cast<TextField&>(*tab->binding()->controlNamed(outlet));
  }
  // Every preference file with its bytes.
  std::map<std::string, std::string> preferences() const {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(config, ec)) {
      std::ostringstream bytes;
      bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      files[entry.path().string()] = bytes.str();
    }
    return files;
  }

  static inline int made = 0;
  std::filesystem::path config;
  std::string saved;
  GtkPrintUnixDialog* dialog = nullptr;
  gtk::PrintTab* tab = nullptr;
};

TEST_F(TabTest, PrintSavesAndRemembersWhileCancelDoesNeither) {
  tab->showPrinter(demoPrinter("P1"));
  click(widget("retentionCheckBox"));
  gtk_drop_down_set_selected(GTK_DROP_DOWN(widget("folderSelectionPopup")), 1);
  typeInto(widget("suspendKeyEditText"), "1234");
  click(widget("suspendKeyButton"));

  auto before = preferences();
  g_signal_emit_by_name(dialog, "response", GTK_RESPONSE_CANCEL);
  EXPECT_TRUE(tab->jobOptions().empty());
  EXPECT_EQ(preferences(), before);

  g_signal_emit_by_name(dialog, "response", GTK_RESPONSE_OK);
  std::map<std::string, std::string> options(tab->jobOptions().begin(), tab->jobOptions().end());
  EXPECT_EQ(options[std::string(kKey) + "jobSuspend"], "2");
  EXPECT_NE(preferences(), before);
  GtkPrintSettings* settings = jobcontrol_gtk_get_settings(dialog);
  for (const auto& [key, value] : options)
    EXPECT_STREQ(gtk_print_settings_get(settings, ("cups-" + key).c_str()), value.c_str()) << key;
  g_object_unref(settings);
}

TEST_F(TabTest, TypedValuesCarryToTheNextPrinterAndItsHeldEntriesWin) {
  tab->showPrinter(demoPrinter("P2"));
  retype(widget("accountNumberEditText"), "42");
  click(widget("accountNumberButton"));
  g_signal_emit_by_name(dialog, "response", GTK_RESPONSE_OK);  // P2 remembers 42

  tab->showPrinter(demoPrinter("P1"));
  retype(widget("userNameEditText"), "Zoë");
  tab->showPrinter(demoPrinter("P2"));
  EXPECT_EQ(tab->printerId(), "P2");
  EXPECT_EQ(field("userNameEditText").stringValue(), "Zoë");
  EXPECT_EQ(field("accountNumberEditText").stringValue(), "42");
  EXPECT_STREQ(gtk_editable_get_text(GTK_EDITABLE(widget("accountNumberEditText"))), "42");
  EXPECT_LT(tab->lastBuildMilliseconds(), 1000.0);
}

TEST_F(TabTest, APrinterChangeWhileTheAlertIsUpDoesNotPullThePanelAway) {
  sim::Config config;
  config.fault = sim::Fault::Reset;
  sim::PrinterSimulator simulator(config);
  ASSERT_TRUE(simulator.start("127.0.0.1", 0, nullptr));
  gtk_window_present(GTK_WINDOW(dialog));
  tab->showPrinter(demoPrinter("P1"));
  GtkWidget* address = widget("printersAddressEditText");
  retype(address, simulator.address());

  // While the alert is up: change the printer, then dismiss the alert.
  struct Step {
    gtk::PrintTab* tab;
    bool switched = false;
    bool dismissed = false;
  } step{tab};
  g_timeout_add(
      20,
      [](gpointer data) -> gboolean {
        auto* s = static_cast<Step*>(data);
        if (!s->tab->alerts().running()) return G_SOURCE_CONTINUE;
        if (!s->switched) {
          s->tab->showPrinter(demoPrinter("P3"));
          s->switched = true;
          return G_SOURCE_CONTINUE;
        }
        GListModel* windows = gtk_window_get_toplevels();
        for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
          auto* w = GTK_WIDGET(g_list_model_get_item(windows, i));
          if (GTK_IS_MESSAGE_DIALOG(w)) gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
          g_object_unref(w);
        }
        s->dismissed = true;
        return G_SOURCE_REMOVE;
      },
      &step);
  click(widget("getFolderNameButton"));
  serveUntil([&] { return step.dismissed && !tab->alerts().running(); });
  ASSERT_TRUE(step.dismissed);
  EXPECT_EQ(tab->printerId(), "P3");
  ASSERT_NE(tab->binding(), nullptr);
  EXPECT_TRUE(gtk_widget_is_ancestor(tab->binding()->widget(), tab->page()));
}

TEST_F(TabTest, TheTabGoesWithTheDialogsWidgets) {
  tab->showPrinter(demoPrinter("P1"));
  GtkWidget* page = tab->page();
  g_object_add_weak_pointer(G_OBJECT(page), reinterpret_cast<gpointer*>(&page));
  gtk_window_destroy(GTK_WINDOW(dialog));
  dialog = nullptr;
  settle();
  // The page owned the tab and its panel: all went with the dialog's widgets.
  EXPECT_EQ(page, nullptr);
}

}  // namespace
}  // namespace jc::test
