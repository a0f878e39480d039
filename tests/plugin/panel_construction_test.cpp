// Panel construction (captions, filters, padlocks, folder pop-up, printer address; once),
// caption localization and the catalogs' coverage, folder look-up, layouts lacking controls.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "platform/widgets/controls.h"
#include "platform/widgets/layout.h"
#include "plugin/icons.h"
#include "plugin/panel_fixture.h"
#include "plugin/panel_view_fixture.h"
#include "support/scratch.h"
#include "support/trace_recorder.h"
#include "ui/hilite.h"

namespace {

using namespace jc::test;

/// A panel that is not built yet, on a host without a printer.
std::unique_ptr<Panel> unbuilt(bool bundled = true) {
  return std::make_unique<Panel>(std::make_shared<jc::MemoryPluginCallback>(),
                                 bundled ? builtBundle() : nullptr);
}

class Construction : public ::testing::Test {
 protected:
  void TearDown() override { useLanguage(""); }
};

TEST_F(Construction, TranslatesEveryKindOfCaptionOnceUpToItsFirstColon) {
  useLanguage("de");
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  EXPECT_EQ(p.retentionCheckBox->title(), "Zurückhalten");
  EXPECT_EQ(p.suspendBox->title(), "Haltemodus");
  EXPECT_EQ(p.holdAfterRadioButton->title(), "Nach dem Druck halten");
  EXPECT_EQ(p.suspendKeyStaticText->stringValue(), "Kennwort für Zurückhalten:");
  EXPECT_EQ(p.tabView->tabViewItemAtIndex(1)->label(), "Benutzerauthentifizierung");
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"Retention:", "Zurückhalten:"},       {"Retention", "Zurückhalten"},
      {"Retention: on the printer", "Zurückhalten:"}, {"Retention::", "Zurückhalten:"},
      {"   Retention:", "Zurückhalten:"},    {"\n\t\u3000\u00A0Job Name", "Auftragsname"},
      {":Retention", ":Retention"},          {"  :Retention", "  :Retention"},
      {"", ""},                              {" \n ", " \n "},
      {"Toner Level:", "Toner Level:"},      {"Retention :", "Retention :"}};
  // clang-format on
  for (const auto& [label, translated] : cases)
    EXPECT_EQ(p.localizedStringValue(label), translated) << label;
  jc::ImageView image;
  EXPECT_EQ(p.localizedStringValue(&image), std::nullopt);
  EXPECT_EQ(p.localizedStringValue(static_cast<const jc::Control*>(nullptr)), std::nullopt);
  EXPECT_TRUE(p.chasingArrow->isHidden());
  p.makeFolderPopup();  // a rebuild keeps the fixed items translated
  EXPECT_EQ(p.folderSelectionPopup->itemAtIndex(1)->title, "Hauptordner");

  p.retentionCheckBox->setTitle("Retention:");  // a second request for the view only traces
  clearTrace();
  p.initializeUI();
  EXPECT_EQ(p.retentionCheckBox->title(), "Retention:");
  EXPECT_EQ(traceMessages(), (std::vector<std::string>{"--initializeUI:", "--initializeUI:=void"}));
}

TEST_F(Construction, TranslatesAtMostTheFirstThreeTabsAndSelectsTheFirst) {
  useLanguage("de");
  auto panel = unbuilt();
  Panel& p = *panel;
  auto path = scratchPath("jc-tabs-");
  std::ofstream(path) << "<layout><tabview outlet=\"tabView\"><tab label=\"Job ID\"/>"
                         "<tab label=\"Job ID\"/><tab label=\"Job ID\"/><tab label=\"Job ID\"/>"
                         "</tabview></layout>";
  jc::LayoutResult result = jc::loadLayoutFile(path, p);
  std::filesystem::remove(path);
  ASSERT_TRUE(result) << result.message();
  p.tabView->selectTabViewItemAtIndex(3);
  p.panelView();  // every other control is absent, without harm
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(p.tabView->tabViewItemAtIndex(i)->label(), i < 3 ? "Auftrags-ID" : "Job ID") << i;
  EXPECT_EQ(p.tabView->indexOfSelectedTabViewItem(), 0);
}

TEST_F(Construction, AttachesTheFiltersPadlocksAndPrinterAddress) {
  LoadedPanel loaded("JobControl", "mfp.example.net");
  Panel& p = loaded.panel;
  for (auto field : {&Panel::suspendKeyEditText, &Panel::folderPasswordEditText,
                     &Panel::userNumberEditText, &Panel::accountNumberEditText}) {
    auto filter = std::dynamic_pointer_cast<MyIntegerNumberFilter>((p.*field)->formatter());
    ASSERT_NE(filter, nullptr) << (p.*field)->identifier();
    EXPECT_EQ(filter->maxCharactersCount(), p.getPasswordMax());
  }
  auto login = std::dynamic_pointer_cast<LoginnameInputFilter>(p.loginNameEditText->formatter());
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->callback(), &p);
  EXPECT_EQ(login.use_count(), 2);  // the field's reference and this one: nobody else's
  EXPECT_EQ(p.jobNameEditText->formatter(), nullptr);
  EXPECT_FALSE(p.passwordEditText->typeText(std::string(32, 'k')));
  EXPECT_EQ(p.passwordEditText->stringValue(), std::string(31, 'k'));
  for (auto hold : kHolds) {
    EXPECT_EQ((p.*hold)->image().get(), initWithSystemIconType(jc::kUnlockedIcon));
    (p.*hold)->setState(1);
    EXPECT_EQ((p.*hold)->shownImage().get(), initWithSystemIconType(jc::kLockedIcon));
  }
  EXPECT_EQ(p.printersAddressEditText->stringValue(), "mfp.example.net");

  auto unknown = unbuilt();  // no address: the layout's text stays
  ASSERT_TRUE(unknown->loadPanelLayout("JobControl"));
  unknown->printersAddressEditText->setStringValue("from the layout");
  unknown->panelView();
  EXPECT_EQ(unknown->printersAddressEditText->stringValue(), "from the layout");
}

TEST(ReducedLayout, IsBuiltAndEveryActionCopesWithTheMissingControls) {
  LoadedPanel loaded("JobControl2");
  ASSERT_EQ(loaded.loadError, "");
  Panel& p = loaded.panel;
  EXPECT_FALSE(p.folderSelectionMatrix || p.loginNameButton || p.tabView);
  EXPECT_EQ(p.folderSelectionPopup->numberOfItems(), 2);
  EXPECT_NE(p.suspendKeyButton->alternateImage(), nullptr);
  p.retentionCheckBox->performClick();
  p.folderSelectionPopup->selectItemAtIndex(1);
  p.suspendKeyEditText->setStringValue("321");
  p.loginNameEditText->setStringValue("carol");
  p.passwordEditText->setStringValue("pw");
  jc::Control& nobody = jc::absent<jc::Button>();
  for (auto action : {&Panel::retentionCBoxProc, &Panel::suspendKeyMatrixProc,
                      &Panel::folderSelectionPopUpButtonProc, &Panel::folderSelectionMatrixProc,
                      &Panel::folderNameButtonProc, &Panel::userNumberButtonProc})
    (p.*action)(nobody);
  EXPECT_EQ(p.suspendMatrix->selectedRow(), 0);  // no matrix: no quick file to undo
  EXPECT_EQ(p.suspendKeyEditText->stringValue(), "321");
  p.loginNameButtonProc(*p.loginNameButton);  // no login-name hold: no mask
  EXPECT_EQ(p.loginNameEditText->stringValue(), "carol");
  EXPECT_FALSE(p.loginNameLockFlag);
  myTz630eJCHilite(*p.passwordEditText, true);
  p.passwordButtonProc(*p.passwordButton);  // no button: the field is not touched
  EXPECT_FALSE(p.passwordEditText->isEditable());

  p.authenticationMatrix->clickRow(1);  // without hold buttons the login fields count as free
  EXPECT_EQ(p.loginNameEditText->stringValue(), "");
  EXPECT_EQ(p.passwordEditText->stringValue(), "");
  EXPECT_EQ(loaded.focus(), p.userNumberEditText.get().get());
}

TEST_F(Construction, APanelWithoutAnyLayoutRunsEverythingHarmlessly) {
  useLanguage("de");
  auto panel = unbuilt(false);
  Panel& p = *panel;
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_TRUE(p.hasInited);
  for (auto action : {&Panel::retentionCBoxProc, &Panel::folderSelectionMatrixProc,
                      &Panel::authenticationMatrixProc, &Panel::loginNameButtonProc})
    (p.*action)(jc::absent<jc::View>());
  p.folderList = {{"X", true, true, false}};
  p.makeFolderPopup();
  EXPECT_EQ(jc::absent<jc::PopUpButton>().numberOfItems(), 0);
  EXPECT_EQ(p.loginNameStringRef, std::nullopt);
  EXPECT_EQ(p.localizedStringValue("  Retention: x"), "Retention:");  // its own translation
}

TEST(FolderPopup, TwoFixedItemsThenASeparatorAndOneItemPerFolder) {
  LoadedPanel loaded;
  auto& p = loaded.panel;
  const jc::PopUpButton& popup = *p.folderSelectionPopup;
  ASSERT_EQ(popup.numberOfItems(), 2);  // construction built it from an empty list
  p.folderList = {{"Finance", true, true, false}, {"Drafts", false, true, false}};
  p.makeFolderPopup();
  ASSERT_EQ(popup.numberOfItems(), 5);
  EXPECT_EQ(popup.itemAtIndex(0)->title, "Quick File");
  EXPECT_EQ(popup.itemAtIndex(1)->image, p.spaceImage);
  EXPECT_TRUE(popup.itemAtIndex(2)->separator);
  EXPECT_EQ(popup.itemAtIndex(3)->title, "Finance");
  EXPECT_EQ(popup.itemAtIndex(3)->image.get(), initWithSystemIconType(jc::kLockedIcon));
  EXPECT_EQ(popup.itemAtIndex(4)->image, p.spaceImage);
  // The chosen folder: none for the fixed items, the list's entry for a folder item.
  for (auto [index, folder] : {std::pair{0, -1}, {1, -1}, {3, 0}, {4, 1}}) {
    p.folderSelectionPopup->selectItemAtIndex(index);
    EXPECT_EQ(p.selectedFolder(), folder < 0 ? nullptr : &p.folderList[folder]) << index;
  }
  p.folderList = {{"Only", false, true, false}};  // a rebuild replaces the folders
  EXPECT_EQ(p.selectedFolder(), nullptr);         // item 4 now lies past the list
  p.makeFolderPopup();
  ASSERT_EQ(popup.numberOfItems(), 4);
  EXPECT_EQ(popup.itemAtIndex(3)->title, "Only");
}

TEST(SearchSameFolderName, FindsTheFirstFolderIgnoringCaseOverUnicode) {
  auto p = unbuilt(false);
  EXPECT_EQ(p->SearchSameFolderName("Anything"), 1);  // no folders
  // clang-format off
  p->folderList = {{"Finance"}, {"Reports"}, {"\u00C4rger \u03A3\u039F\u03A3"} /* Ärger ΣΟΣ */,
                   {"\uFF26\uFF4F\uFF4C\uFF44\uFF45\uFF52"}, {"\u6587\u66F8"}, {"reports"}};
  const std::pair<std::optional<std::string>, int> cases[] = {
      {"rEPORTS", 4}, {"Finance", 3}, {"\u00E4RGER \u03C3\u03BF\u03C2", 5},
      {"\uFF46\uFF2F\uFF2C\uFF24\uFF25\uFF32", 6}, {"\u6587\u66F8", 7}, {"Report", 1},
      {"Reports ", 1}, {"Arger \u03A3\u039F\u03A3", 1}, {"", 1}, {std::nullopt, 1}};
  // clang-format on
  for (const auto& [name, index] : cases)
    EXPECT_EQ(p->SearchSameFolderName(name), index) << name.value_or("(none)");
}

// Every caption of both layouts, and the fixed texts, have a German and a Japanese translation.
TEST_F(Construction, TheCatalogsTranslateEveryCaption) {
  useLanguage("");
  std::set<std::string> keys = {"On", "Off", "Job Control", "Could not retrieve Folder Names."};
  for (const char* layout : {"JobControl", "JobControl2"}) {
    auto raw = unbuilt();  // not built: the raw captions
    Panel& panel = *raw;
    ASSERT_TRUE(panel.loadPanelLayout(layout)) << layout;
    std::function<void(const jc::Control&)> collect = [&](const jc::Control& c) {
      if (c.kind() == jc::Control::Kind::PopUpButton)
        for (const auto& item : static_cast<const jc::PopUpButton&>(c).items())
          keys.insert(item.title);
      else if (c.kind() == jc::Control::Kind::TabViewItem)
        keys.insert(static_cast<const jc::TabViewItem&>(c).label());
      else if (c.kind() != jc::Control::Kind::TextField || c.tag() == 0)
        keys.insert(panel.localizedStringValue(&c).value_or(""));  // untranslated: the key
      for (const auto& child : c.children()) collect(*child);
    };
    collect(*panel.panelView_);
  }
  keys.erase("");
  EXPECT_GT(keys.size(), 20u);
  auto bundle = builtBundle();
  for (const char* language : {"de", "ja"}) {
    useLanguage(language);
    for (const std::string& key : keys) {
      std::string bare = key.substr(0, key.find(':'));
      EXPECT_NE(bundle->localizedString(bare), bare) << language << ": " << bare;
    }
  }
}

}  // namespace
