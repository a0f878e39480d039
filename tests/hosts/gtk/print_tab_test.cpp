// The tab in a real GtkPrintUnixDialog without a CUPS server (printers from the demo PPD):
// Print and Cancel, values carried between printers, the alert, and standard IPP attributes.
#include <gtk/gtk.h>
#include <libintl.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>

#include "gtk_fixture.h"
#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk/print_tab.h"
#include "printer_simulator.h"
#include "soap/soap_client.h"
#include "support/scratch.h"

namespace jc::test {
namespace {

constexpr const char* kKey = "vorelia.print.PrintSettings.";

const std::string kDemoPPD = std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd";

gtk::PrinterInfo demoPrinter(const std::string& id, const std::string& uri = "ipp://127.0.0.1/",
                             const std::string& ppd = kDemoPPD) {
  gtk::PrinterInfo info;
  info.id = id;
  info.deviceURI = uri;
  info.ppd = std::move(openPPDFile(ppd).value());
  return info;
}

// The demo PPD with `from` replaced by `to`, as the file `path`.
std::string editedDemoPPD(const std::filesystem::path& path, const std::string& from,
                          const std::string& to) {
  std::string ppd = contents(kDemoPPD).value();
  ppd.replace(ppd.find(from), from.size(), to);
  std::ofstream(path) << ppd;
  return path.string();
}

// Answers every message dialog shown as a person would; true if there was one.
bool dismissMessageDialogs() {
  bool any = false;
  GListModel* windows = gtk_window_get_toplevels();
  for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
    auto* w = GTK_WIDGET(g_list_model_get_item(windows, i));
    if (GTK_IS_MESSAGE_DIALOG(w)) {
      any = true;
      gtk_dialog_response(GTK_DIALOG(w), GTK_RESPONSE_OK);
    }
    g_object_unref(w);
  }
  return any;
}

// A printer that advertises a password of 4 to 8 digits, in the clear or digested.
StandardJobSupport securePrinter() {
  StandardJobSupport s;
  s.passwordMaxOctets = 8;
  s.passwordEncryptions = {"none", "md5", "sha2-256"};
  s.passwordLength = std::make_pair(4, 8);
  s.accountId = true;
  return s;
}

class TabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
    GError* error = nullptr;
    ASSERT_TRUE(jobcontrol_gtk_add_tab(dialog, "report.pdf", kBundleDir, &error))
        << (error ? error->message : "");
    tab = gtk::PrintTab::of(dialog);
    ASSERT_NE(tab, nullptr);
    // The printer's answer comes from the test, never from whatever listens on the port.
    tab->setSupportQuery([this](const std::optional<std::string>&) {
      ++asked;
      return PrinterAnswer{support, "no answer"};
    });
  }
  void TearDown() override {
    if (dialog) gtk_window_destroy(GTK_WINDOW(dialog));
    settle();
    std::filesystem::remove_all(config);
  }
  GtkWidget* widget(const char* outlet) { return tab->binding()->widgetNamed(outlet); }
  const TextField& field(const char* outlet) {
    return static_cast<TextField&>(*tab->binding()->controlNamed(outlet));
  }
  // Every preference file with its bytes.
  std::map<std::string, std::string> preferences() const { return filesUnder(config); }

  std::atomic<int> asked = 0;
  std::optional<StandardJobSupport> support = securePrinter();
  EnvGuard savedConfigHome{"XDG_CONFIG_HOME"};
  std::filesystem::path config = scratchPath("jc-gtk-tab-");
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

  struct Step {  // while the alert is up: change the printer, then dismiss the alert
    gtk::PrintTab* tab;
    bool switched = false, dismissed = false;
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
        dismissMessageDialogs();
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
  EXPECT_EQ(page, nullptr);  // the page owned the tab and its panel
}

TEST_F(TabTest, StandardAttributesFollowTheAdvancedChoice) {
  EXPECT_EQ(tab->standardAttributesMode(), StandardAttributesMode::Auto);
  // A queue CUPS made for a driverless printer, and one whose vendor filter reads our keys.
  std::string driverless = editedDemoPPD(config / "driverless.ppd", "VORDEMO.PPD", "ippeve.ppd");
  std::string vendor = editedDemoPPD(config / "vendor.ppd", "cups-pdf 0 -", "cups-pdf 0 vorelia");
  StandardJobSupport tooLong = securePrinter();
  tooLong.passwordLength = std::make_pair(6, 8);
  struct Row {
    const char* what;
    std::string ppd, uri;
    guint choice;  // Automatic, Always, Never
    std::optional<StandardJobSupport> support;
    bool asked, printed;
    const char* accountId;  // cups-job-account-id as sent, nullptr: none
  };
  const std::string ipp = "ipp://127.0.0.1/", socket = "socket://127.0.0.1/";
  // clang-format off
  const Row rows[] = {
      {"auto, driverless queue",      driverless, ipp,    0, securePrinter(), true,  true,  "42"},
      {"auto, vendor filter",         vendor,     ipp,    0, securePrinter(), false, true,  nullptr},
      {"auto, not an IPP device",     driverless, socket, 0, securePrinter(), false, true,  nullptr},
      {"auto, held, no answer",       driverless, ipp,    0, std::nullopt,    true,  false, nullptr},
      {"always, vendor filter",       vendor,     ipp,    1, securePrinter(), true,  true,  "42"},
      {"always, pass code too short", vendor,     ipp,    1, tooLong,         true,  false, nullptr},
      {"never",                       driverless, ipp,    2, securePrinter(), false, true,  nullptr},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    support = row.support;
    asked = 0;
    int printed = 0;
    gulong handler = g_signal_connect(dialog, "response",
                                      G_CALLBACK(+[](GtkDialog*, int response, int* printed) {
                                        if (response == GTK_RESPONSE_OK) ++*printed;
                                      }),
                                      &printed);
    gtk_drop_down_set_selected(GTK_DROP_DOWN(tab->standardAttributesChoice()), row.choice);
    tab->showPrinter(demoPrinter("P4", row.uri, row.ppd));
    if (!gtk_check_button_get_active(GTK_CHECK_BUTTON(widget("retentionCheckBox"))))
      click(widget("retentionCheckBox"));
    gtk_check_button_set_active(GTK_CHECK_BUTTON(widget("holdOnlyRadioButton")), TRUE);
    retype(widget("suspendKeyEditText"), "1234");
    retype(widget("accountNumberEditText"), "42");

    bool alerted = false;  // the refusal's message, dismissed
    guint dismiss = g_timeout_add(
        20,
        +[](gpointer alerted) -> gboolean {
          *static_cast<bool*>(alerted) |= dismissMessageDialogs();
          return G_SOURCE_CONTINUE;
        },
        &alerted);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    serveUntil([&] { return !tab->askingPrinter() && (printed || alerted); });
    settle();
    g_source_remove(dismiss);
    g_signal_handler_disconnect(dialog, handler);

    EXPECT_EQ(asked > 0, row.asked);
    EXPECT_EQ(printed, row.printed ? 1 : 0);
    EXPECT_EQ(alerted, !row.printed);
    GtkPrintSettings* settings = jobcontrol_gtk_get_settings(dialog);
    EXPECT_STREQ(gtk_print_settings_get(settings, "cups-job-account-id"), row.accountId);
    EXPECT_STREQ(gtk_print_settings_get(settings, "cups-job-password"),
                 row.accountId ? "1234" : nullptr);
    g_object_unref(settings);
  }
}

// The tab's own strings come in the person's language, as the panel's captions do.
TEST(TabLanguage, TheAdvancedChoiceSpeaksThePersonsLanguage) {
  struct Row {
    const char* language;
    const char *expander, *label, *items[3];
  };
  // clang-format off
  const Row rows[] = {
      {"",   "_Advanced",    "Standard _IPP job attributes:",   {"Automatic",   "Always",   "Never"}},
      {"de", "_Erweitert",   "Standard-_IPP-Auftragsattribute:", {"Automatisch", "Immer",    "Nie"}},
      {"ja", "詳細設定(_A)", "標準の IPP ジョブ属性(_I):",       {"自動",        "常に送信", "送信しない"}},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.language);
    ::setenv("LANGUAGE", row.language, 1);
    textdomain(textdomain(nullptr));  // gettext drops the answers it cached
    auto* dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
    EXPECT_TRUE(jobcontrol_gtk_add_tab(dialog, "report.pdf", kBundleDir, nullptr));
    if (gtk::PrintTab* tab = gtk::PrintTab::of(dialog)) {
      GtkWidget* choice = tab->standardAttributesChoice();
      EXPECT_STREQ(gtk_expander_get_label(GTK_EXPANDER(tab->advanced())), row.expander);
      GList* labels = gtk_widget_list_mnemonic_labels(choice);
      EXPECT_STREQ(labels ? gtk_label_get_label(GTK_LABEL(labels->data)) : nullptr, row.label);
      g_list_free(labels);
      auto* items = GTK_STRING_LIST(gtk_drop_down_get_model(GTK_DROP_DOWN(choice)));
      for (guint i = 0; i < std::size(row.items); ++i)
        EXPECT_STREQ(gtk_string_list_get_string(items, i), row.items[i]) << i;
    }
    gtk_window_destroy(GTK_WINDOW(dialog));
  }
  ::setenv("LANGUAGE", "", 1);
  textdomain(textdomain(nullptr));
}

}  // namespace
}  // namespace jc::test
