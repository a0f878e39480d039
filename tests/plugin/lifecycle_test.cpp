// The panel's lifecycle: creation from the host's callback, the protocol in any order,
// and the trace points each operation carries.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>

#include "panel_fixture.h"
#include "plugin/system_version.h"
#include "support/trace_recorder.h"

extern "C" int _nl_msg_cat_cntr;

namespace jc {
namespace {

using test::traceMessages;

TEST(EntryClass, MakesAPanelOnlyForTheExactPrintDialogType) {
  VoreliaPrintPdeTz630eJCPDEPlugIn plugIn;
  EXPECT_TRUE(plugIn.initWithBundle(nullptr));
  auto callback = test::demoCallback();
  for (const char* other : {"bdb091f4-e57f-11d3-b5cc-0050e4603277", "page setup", ""}) {
    test::clearTrace();
    auto panels = plugIn.PDEPanelsForType(other, callback);
    ASSERT_TRUE(panels);
    EXPECT_TRUE(panels->empty()) << other;
    EXPECT_EQ(traceMessages(),
              (std::vector<std::string>{"PDEPanelsForType:", "PDEPanelsForType:=NSArray(%@)"}));
  }
  auto panels = plugIn.PDEPanelsForType(kPrintDialogType, callback);
  ASSERT_TRUE(panels);
  EXPECT_EQ(panels->size(), 1u);
}

TEST(Creation, TakesThePrinterHostOnlyFromIppLpdAndSocketURIs) {
  const std::pair<std::optional<std::string>, std::optional<std::string>> cases[] = {
      {"ipp://192.0.2.7:631/ipp/print", "192.0.2.7"},
      {"socket://192.0.2.7", "192.0.2.7"},
      {"lpd://printer.example/queue", "printer.example"},
      {"usb://Vorelia/MFP?serial=1", std::nullopt},
      {"dnssd://Vorelia%20MFP._ipp._tcp.local./", std::nullopt},
      {"IPP://192.0.2.7/", std::nullopt},
      {"not a uri", std::nullopt},
      {std::nullopt, std::nullopt},  // a printer without a device URI
  };
  for (const auto& [uri, host] : cases) {
    VoreliaPrintPdeTz630eJC panel(test::demoCallback("P1", uri), test::builtBundle());
    EXPECT_EQ(panel.mfpURL, host) << uri.value_or("(none)");
  }
}

TEST(Creation, FillsThePanelFromThePPDPrinterAndBundle) {
  test::clearTrace();
  auto bundle = test::builtBundle();
  VoreliaPrintPdeTz630eJC panel(test::demoCallback("P1"), bundle);
  EXPECT_TRUE(panel.useConstraintHandling);
  ASSERT_NE(panel.ppd, nullptr);
  EXPECT_EQ(panel.ppdEncoding, 4u);  // libcups reports every declared encoding as UTF-8
  EXPECT_EQ(panel.modelStringRef, "Vorelia MFP Demo 630e");
  EXPECT_EQ(panel.preferenceName, "vorelia.mfp.P1");
  EXPECT_EQ(panel.requestData, bundle->resourceData("listfiles", "xml"));
  EXPECT_TRUE(panel.debugData);
  ASSERT_TRUE(panel.spaceImage);
  EXPECT_EQ(panel.spaceImage->width, 18);
  EXPECT_EQ(panel.systemEncoding, 30u);  // pinned to Mac Roman for the tests
  EXPECT_FALSE(panel.hasInited);
  EXPECT_EQ(traceMessages(), (std::vector<std::string>{
                                 "initWithCallback:(%@, %p)", "Constraint Handling Available: %s",
                                 "Can resize on the fly: %s", "initWithCallback:=id(self)"}));
}

TEST(Creation, WithoutAPPDOrConstraintQuestionTheStepsThatNeedItAreSkipped) {
  auto callback = test::demoCallback();
  callback->setOffersConstraints(false);  // the PPD then comes from the empty older path
  VoreliaPrintPdeTz630eJC panel(callback, test::builtBundle());
  EXPECT_FALSE(panel.useConstraintHandling);
  EXPECT_EQ(panel.ppd, nullptr);
  EXPECT_FALSE(panel.modelStringRef);
  EXPECT_FALSE(panel.mfpURL);
  EXPECT_FALSE(panel.preferenceName);
  EXPECT_FALSE(panel.requestData);
  EXPECT_TRUE(panel.spaceImage);  // loaded with or without a PPD
  // The panel still answers every protocol call.
  EXPECT_NE(panel.panelView(), nullptr);
  EXPECT_TRUE(panel.restoreValuesAndReturnError(nullptr));
  EXPECT_TRUE(panel.saveValuesAndReturnError(nullptr));
  EXPECT_TRUE(panel.shouldPrint());

  auto bare = std::make_shared<MemoryPluginCallback>();
  VoreliaPrintPdeTz630eJC empty(bare, nullptr);
  EXPECT_EQ(empty.panelName(), "Job Control");
  EXPECT_TRUE(empty.shouldPrint());
}

TEST(Protocol, ShouldPrintFirstRestoresSavesAndRemembersInOrder) {
  VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
  test::clearTrace();
  EXPECT_TRUE(panel.shouldPrint());
  EXPECT_EQ(traceMessages(),
            (std::vector<std::string>{
                "shouldPrint:", "restoreValuesAndReturnError:(%p)", "panelView:", "--initializeUI:",
                "--initializeUI:=void", "panelView:=NSView(%@, %p)",
                "--getNonPPDSettingsFromPrintSettings:", "--getNonPPDSettingsFromPrintSettings:",
                "--updateUI:", "--updateUI:", "restoreValuesAndReturnError:=BOOL(YES)",
                "saveValuesAndReturnError:(%p)", "--writeNonPPDSettingsToPrintSettings:",
                "--writeNonPPDSettingsToPrintSettings:", "saveValuesAndReturnError:=BOOL(YES)",
                "shouldPrint:=BOOL(YES)"}));
  EXPECT_TRUE(panel.callRestoreValuesFunction);
  EXPECT_TRUE(panel.callSaveValuesFunction);
  EXPECT_TRUE(panel.isPanelViewRetain);

  // After the host's own restore and save, neither is repeated.
  test::clearTrace();
  EXPECT_TRUE(panel.shouldPrint());
  EXPECT_EQ(traceMessages(), (std::vector<std::string>{"shouldPrint:", "shouldPrint:=BOOL(YES)"}));
}

TEST(Protocol, PanelViewLoadsOnceAndTheHostKeepsTheViewItAskedFor) {
  std::shared_ptr<View> hostView;
  std::weak_ptr<View> watch;
  {
    VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
    hostView = panel.panelView();
    ASSERT_NE(hostView, nullptr);
    test::clearTrace();
    EXPECT_EQ(panel.panelView(), hostView);
    EXPECT_EQ(traceMessages(),
              (std::vector<std::string>{"panelView:", "--initializeUI:", "--initializeUI:=void",
                                        "panelView:=NSView(%@, %p)"}));
    panel.restoreValuesAndReturnError(nullptr);
    EXPECT_FALSE(panel.isPanelViewRetain);  // the host asked first: the view is the host's
  }
  EXPECT_EQ(hostView.use_count(), 1);  // still alive, held by the host alone
  {
    VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
    panel.restoreValuesAndReturnError(nullptr);
    EXPECT_TRUE(panel.isPanelViewRetain);
    watch = panel.panelView_;
    EXPECT_FALSE(watch.expired());
  }
  EXPECT_TRUE(watch.expired());  // the panel's own reference went with it
}

TEST(Protocol, WillShowBuildsOnceAndPanelNameIsMadeOnceAndTranslated) {
  VoreliaPrintPdeTz630eJC panel(test::demoCallback(), test::builtBundle());
  test::clearTrace();
  panel.willShow();
  EXPECT_TRUE(panel.hasInited);
  panel.willShow();
  auto messages = traceMessages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "--initializeUI:"), 1);

  // Translations follow the process locale, which a host sets from the environment.
  std::setlocale(LC_ALL, "");
  ::setenv("LANGUAGE", "de", 1);
  VoreliaPrintPdeTz630eJC german(test::demoCallback(), test::builtBundle());
  EXPECT_EQ(german.panelName(), "Auftragssteuerung");
  ::setenv("LANGUAGE", "ja", 1);
  ++_nl_msg_cat_cntr;  // gettext's documented way to drop its cached translations
  EXPECT_EQ(german.panelName(), "Auftragssteuerung");  // made once and kept
  VoreliaPrintPdeTz630eJC japanese(test::demoCallback(), test::builtBundle());
  EXPECT_EQ(japanese.panelName(), "\u30B8\u30E7\u30D6\u5236\u5FA1");
  ::setenv("LANGUAGE", "", 1);
}

TEST(PPDEncoding, ComparesTheLanguageEncodingExactly) {
  ppd_file_t record{};
  EXPECT_EQ(getEncodingFromPPD(nullptr), 30u);
  EXPECT_EQ(getEncodingFromPPD(&record), 30u);
  for (const auto& [name, expected] : {std::pair<std::string, std::uint64_t>{"ISOLatin1", 5},
                                       {"WindowsANSI", 12},
                                       {"JIS83-RKSJ", 8},
                                       {"UTF-8", 4},
                                       {"UTF8", 4},
                                       {"utf-8", 30},
                                       {"MacStandard", 30},
                                       {"", 30}}) {
    std::string copy = name;
    record.lang_encoding = copy.data();
    EXPECT_EQ(getEncodingFromPPD(&record), expected) << name;
  }
}

}  // namespace
}  // namespace jc
