// Panel construction: captions, filters, padlocks, the pop-up and the printer address,
// done once; layouts that lack controls are built without error.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "panel_fixture.h"
#include "platform/layout.h"
#include "plugin/icons.h"
#include "support/trace_recorder.h"
#include "ui/hilite.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;
using jc::test::LoadedPanel;

class Construction : public ::testing::Test {
 protected:
  void TearDown() override { jc::test::useLanguage(""); }
};

TEST_F(Construction, TranslatesEveryCaptionOnce) {
  jc::test::useLanguage("de");
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  EXPECT_TRUE(p.hasInited);
  EXPECT_EQ(p.retentionCheckBox->title(), "Zurückhalten");
  EXPECT_EQ(p.suspendBox->title(), "Haltemodus");
  EXPECT_EQ(p.holdAfterRadioButton->title(), "Nach dem Druck halten");
  EXPECT_EQ(p.suspendKeyStaticText->stringValue(), "Kennwort für Zurückhalten:");
  EXPECT_EQ(p.folderSelectionStaticText->stringValue(), "Ablegen in:");
  EXPECT_EQ(p.customFolderRadioButton->title(), "Benutzerordner");
  EXPECT_EQ(p.authenticationRadioButton->title(), "Anmeldename und Passwort");
  EXPECT_EQ(p.userNumberRadioButton->title(), "Benutzernummer");
  EXPECT_EQ(p.accountNumberStaticText->stringValue(), "Kontonummer:");
  EXPECT_EQ(p.jobIDBox->title(), "Auftrags-ID");
  EXPECT_EQ(p.jobNameStaticText->stringValue(), "Auftragsname:");
  EXPECT_EQ(p.printersAddressStaticText->stringValue(), "Druckeradresse:");
  EXPECT_EQ(p.getFolderNameButton->title(), "Ordnernamen abrufen");
  EXPECT_EQ(p.tabView->tabViewItemAtIndex(1)->label(), "Benutzerauthentifizierung");
  EXPECT_EQ(p.tabView->indexOfSelectedTabViewItem(), 0);
  EXPECT_TRUE(p.chasingArrow->isHidden());
  EXPECT_TRUE(p.retentionCheckBox->isEnabled());

  // A second request for the view changes nothing and only traces.
  p.retentionCheckBox->setTitle("Retention:");
  jc::test::clearTrace();
  p.initializeUI();
  EXPECT_EQ(p.retentionCheckBox->title(), "Retention:");
  EXPECT_EQ(jc::test::traceMessages(),
            (std::vector<std::string>{"--initializeUI:", "--initializeUI:=void"}));
}

TEST_F(Construction, AttachesTheFiltersAndPadlocks) {
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  for (auto* field : {&p.suspendKeyEditText, &p.folderPasswordEditText, &p.userNumberEditText,
                      &p.accountNumberEditText}) {
    auto filter = std::dynamic_pointer_cast<MyIntegerNumberFilter>((*field)->formatter());
    ASSERT_NE(filter, nullptr) << (*field)->identifier();
    EXPECT_EQ(filter->maxCharactersCount(), p.getPasswordMax());
    EXPECT_EQ(filter->format(), "##0");
  }
  auto roman = std::dynamic_pointer_cast<MyRomanFilter>(p.passwordEditText->formatter());
  ASSERT_NE(roman, nullptr);
  EXPECT_EQ(roman->maxCharactersCount(), 31);
  auto login = std::dynamic_pointer_cast<LoginnameInputFilter>(p.loginNameEditText->formatter());
  ASSERT_NE(login, nullptr);
  EXPECT_EQ(login->callback(), &p);
  EXPECT_EQ(login.use_count(), 2);  // the field's reference and this one: nobody else's
  for (auto* field :
       {&p.userNameEditText, &p.jobNameEditText, &p.folderNameEditText, &p.printersAddressEditText})
    EXPECT_EQ((*field)->formatter(), nullptr) << (*field)->identifier();

  for (auto* hold : {&p.suspendKeyButton, &p.folderPasswordButton, &p.folderNameButton,
                     &p.loginNameButton, &p.passwordButton, &p.userNumberButton,
                     &p.accountNumberButton, &p.userNameButton, &p.jobNameButton}) {
    EXPECT_EQ((*hold)->image().get(), initWithSystemIconType(jc::kUnlockedIcon))
        << (*hold)->identifier();
    EXPECT_EQ((*hold)->alternateImage().get(), initWithSystemIconType(jc::kLockedIcon));
    (*hold)->setState(1);
    EXPECT_EQ((*hold)->shownImage()->name, jc::kLockedIconName);
  }

  // The fields take what their filters allow.
  EXPECT_FALSE(p.suspendKeyEditText->typeText("123456"));
  EXPECT_EQ(p.suspendKeyEditText->stringValue(), "12345");
  EXPECT_FALSE(p.passwordEditText->typeText(std::string(32, 'k')));
  EXPECT_EQ(p.passwordEditText->stringValue(), std::string(31, 'k'));
}

TEST_F(Construction, ShowsThePrinterAddressOnlyWhenKnown) {
  LoadedPanel known("JobControl", "mfp.example.net");
  EXPECT_EQ(known.panel.printersAddressEditText->stringValue(), "mfp.example.net");

  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  Panel unknown(callback, jc::Bundle::open(jc::test::kBundleDir, nullptr));
  ASSERT_EQ(unknown.loadPanelLayout("JobControl"), "");
  unknown.printersAddressEditText->setStringValue("from the layout");
  unknown.panelView();
  EXPECT_EQ(unknown.printersAddressEditText->stringValue(), "from the layout");
}

// A layout of only a tab view with `tabs` tabs, all labelled "Job ID".
std::filesystem::path writeTabLayout(int tabs) {
  auto path = std::filesystem::temp_directory_path() /
              ("jc-tabs-" + std::to_string(tabs) + "-" + std::to_string(::getpid()) + ".layout");
  std::ofstream out(path);
  out << "<layout><tabview outlet=\"tabView\">";
  for (int i = 0; i < tabs; ++i) out << "<tab label=\"Job ID\"/>";
  out << "</tabview></layout>";
  return path;
}

TEST_F(Construction, TranslatesAtMostTheFirstThreeTabs) {
  jc::test::useLanguage("de");
  for (int tabs : {1, 4}) {
    SCOPED_TRACE(tabs);
    auto callback = std::make_shared<jc::MemoryPluginCallback>();
    Panel p(callback, jc::Bundle::open(jc::test::kBundleDir, nullptr));
    auto path = writeTabLayout(tabs);
    jc::LayoutResult result = jc::loadLayoutFile(path, p);
    std::filesystem::remove(path);
    ASSERT_TRUE(result) << result.error;
    p.tabView->selectTabViewItemAtIndex(tabs - 1);
    p.panelView();  // the layout is there: construction only
    for (int i = 0; i < tabs; ++i)
      EXPECT_EQ(p.tabView->tabViewItemAtIndex(i)->label(), i < 3 ? "Auftrags-ID" : "Job ID") << i;
    EXPECT_EQ(p.tabView->indexOfSelectedTabViewItem(), 0);
    EXPECT_TRUE(p.hasInited);  // every other control was absent, without harm
  }
}

TEST_F(Construction, TheReducedLayoutIsBuiltAndEveryActionAndRuleCopes) {
  LoadedPanel loaded("JobControl2");
  ASSERT_EQ(loaded.loadError, "");
  Panel& p = loaded.panel;
  ASSERT_TRUE(p.hasInited);
  EXPECT_FALSE(p.tabView);
  EXPECT_FALSE(p.folderSelectionMatrix);
  EXPECT_FALSE(p.loginNameButton);
  EXPECT_FALSE(p.chasingArrow);
  EXPECT_EQ(p.folderSelectionPopup->numberOfItems(), 2);
  EXPECT_NE(p.suspendKeyButton->alternateImage(), nullptr);

  p.retentionCheckBox->performClick();
  p.folderSelectionPopup->selectItemAtIndex(1);
  p.suspendKeyEditText->setStringValue("321");
  p.loginNameEditText->setStringValue("carol");
  p.passwordEditText->setStringValue("pw");

  // The actions of absent controls stop at once: no matrix means no quick file to undo,
  // no login-name hold means no mask.
  p.folderSelectionMatrixProc(*p.folderSelectionMatrix);
  EXPECT_EQ(p.suspendMatrix->selectedRow(), 0);
  EXPECT_EQ(p.suspendKeyEditText->stringValue(), "321");
  p.loginNameButtonProc(*p.loginNameButton);
  EXPECT_EQ(p.loginNameEditText->stringValue(), "carol");
  EXPECT_FALSE(p.loginNameLockFlag);
  myTz630eJCHilite(*p.passwordEditText, true);
  p.passwordButtonProc(*p.passwordButton);  // no button: the field is not touched
  EXPECT_FALSE(p.passwordEditText->isEditable());
  myTz630eJCHilite(*p.passwordEditText, false);

  // Without hold buttons the login fields count as free: user number empties them.
  p.authenticationMatrix->clickRow(1);
  EXPECT_EQ(p.loginNameEditText->stringValue(), "");
  EXPECT_EQ(p.passwordEditText->stringValue(), "");
  EXPECT_EQ(loaded.focus(), p.userNumberEditText.get().get());

  // Every choice action once more, sent by an absent control: nothing raises.
  jc::Control& nobody = jc::absent<jc::Button>();
  p.retentionCBoxProc(nobody);
  p.suspendKeyMatrixProc(nobody);
  p.folderSelectionPopUpButtonProc(nobody);
  p.authenticationMatrixProc(nobody);
  p.folderNameButtonProc(nobody);
  p.userNumberButtonProc(nobody);
  EXPECT_EQ(p.suspendKeyEditText->stringValue(), "321");
}

TEST_F(Construction, APanelWithoutAnyLayoutRunsEverythingHarmlessly) {
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  Panel p(callback, nullptr);
  EXPECT_EQ(p.panelView(), nullptr);
  EXPECT_TRUE(p.hasInited);
  jc::Control& nothing = jc::absent<jc::View>();
  p.retentionCBoxProc(nothing);
  p.folderSelectionMatrixProc(nothing);
  p.authenticationMatrixProc(nothing);
  p.loginNameButtonProc(nothing);
  p.makeFolderPopup();
  p.loginNameEditTextEnabled();
  EXPECT_EQ(p.loginNameStringRef, std::nullopt);
}

}  // namespace
