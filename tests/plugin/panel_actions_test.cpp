// The control actions as a person triggers them (clicks, choices): the choices they adjust,
// the fields they empty, the login name's mask, and where keyboard focus rests afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "plugin/panel_view_fixture.h"

namespace {

using namespace jc::test;
using Field = jc::Outlet<jc::TextField> Panel::*;

std::string bullets(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "\u2022";
  return s;
}

void retentionOn(Panel& p) {
  p.retentionCheckBox->setState(0);
  ASSERT_TRUE(p.retentionCheckBox->performClick());
}

TEST(RetentionAction, OnChangesNothingAndOffResetsQuickFileAndEmptiesUnheldCodes) {
  for (bool held : {false, true}) {
    SCOPED_TRACE(held ? "codes held" : "codes free");
    LoadedPanel loaded;
    Panel& p = loaded.panel;
    p.suspendMatrix->selectCellAtRow(2);
    p.suspendKeyEditText->setStringValue("77");
    retentionOn(p);
    EXPECT_EQ(p.suspendMatrix->selectedRow(), 2);
    EXPECT_EQ(p.suspendKeyEditText->stringValue(), "77");

    ASSERT_TRUE(p.folderSelectionPopup->chooseItem(0));  // quick file
    ASSERT_TRUE(p.folderSelectionMatrix->clickRow(2));   // custom folder
    ASSERT_TRUE(p.suspendMatrix->clickRow(1));
    p.suspendKeyEditText->setStringValue("123");
    p.folderPasswordEditText->setStringValue("456");
    p.folderNameEditText->setStringValue("Reports");
    for (auto hold : kHolds) (p.*hold)->setState(held);
    ASSERT_TRUE(p.retentionCheckBox->performClick());  // off
    EXPECT_EQ(p.folderSelectionPopup->indexOfSelectedItem(), 1);
    EXPECT_EQ(p.folderSelectionMatrix->selectedRow(), 2);  // custom is no quick file
    EXPECT_EQ(p.suspendMatrix->selectedRow(), 0);
    EXPECT_EQ(p.suspendKeyEditText->stringValue(), held ? "123" : "");
    EXPECT_EQ(p.folderPasswordEditText->stringValue(), held ? "456" : "");
    EXPECT_EQ(p.folderNameEditText->stringValue(), held ? "Reports" : "");
    EXPECT_FALSE(p.folderNameButton->isEnabled());  // the rules ran
    EXPECT_EQ(p.suspendKeyStaticText->textColor(), jc::TextField::Color::Gray);
  }
}

TEST(FilingActions, QuickFileAndTheRetentionKindFollowEachOther) {
  // Quick file, chosen in the pop-up or the matrix, means hold after print without a code.
  for (bool viaPopup : {true, false}) {
    for (bool held : {false, true}) {
      SCOPED_TRACE(std::string(viaPopup ? "pop-up" : "matrix") + (held ? ", held" : ", free"));
      LoadedPanel loaded;
      Panel& p = loaded.panel;
      retentionOn(p);
      ASSERT_TRUE(p.suspendMatrix->clickRow(2));
      p.suspendKeyEditText->setStringValue("2468");
      p.suspendKeyButton->setState(held);
      ASSERT_TRUE(viaPopup ? p.folderSelectionPopup->chooseItem(0)
                           : p.folderSelectionMatrix->clickRow(0));
      EXPECT_EQ(p.suspendMatrix->selectedRow(), 1);
      EXPECT_EQ(p.suspendKeyEditText->stringValue(), held ? "2468" : "");
      EXPECT_FALSE(p.suspendKeyEditText->isEditable());
    }
  }
  // Another retention kind moves filing to the main folder; hold after print keeps quick file.
  for (int row : {0, 2, 1}) {
    SCOPED_TRACE(row);
    LoadedPanel loaded;
    Panel& p = loaded.panel;
    retentionOn(p);
    ASSERT_TRUE(p.folderSelectionPopup->chooseItem(0));
    ASSERT_TRUE(p.folderSelectionMatrix->clickRow(0));
    p.suspendMatrix->clickRow(row);
    EXPECT_EQ(p.folderSelectionPopup->indexOfSelectedItem(), row == 1 ? 0 : 1);
    EXPECT_EQ(p.folderSelectionMatrix->selectedRow(), row == 1 ? 0 : 1);
    EXPECT_EQ(p.suspendKeyButton->isEnabled(), row != 1);
  }
}

TEST(FilingActions, OnlyTheCustomFolderKeepsFolderNameAndPassCode) {
  for (int row : {1, 0, 2}) {
    for (bool held : {false, true}) {
      SCOPED_TRACE(std::to_string(row) + (held ? " held" : " free"));
      LoadedPanel loaded;
      Panel& p = loaded.panel;
      retentionOn(p);
      ASSERT_TRUE(p.folderSelectionMatrix->clickRow(2));
      p.folderPasswordEditText->setStringValue("13579");
      p.folderNameEditText->setStringValue("Team");
      p.folderPasswordButton->setState(held);
      p.folderNameButton->setState(held);
      ASSERT_TRUE(p.folderSelectionMatrix->clickRow(row));
      EXPECT_EQ(p.folderPasswordEditText->stringValue(), held || row == 2 ? "13579" : "");
      EXPECT_EQ(p.folderNameEditText->stringValue(), held || row == 2 ? "Team" : "");
    }
  }
  LoadedPanel loaded;  // choosing another folder in the pop-up empties nothing
  Panel& p = loaded.panel;
  withFolders(p);
  retentionOn(p);
  ASSERT_TRUE(p.folderSelectionPopup->chooseItem(4));
  p.folderPasswordEditText->setStringValue("11111");
  ASSERT_TRUE(p.folderSelectionPopup->chooseItem(1));
  EXPECT_EQ(p.folderPasswordEditText->stringValue(), "11111");
}

TEST(AuthenticationAction, EachChoiceEmptiesTheOthersUnheldFields) {
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  p.loginNameEditText->setStringValue("alice");
  ASSERT_TRUE(p.loginNameButton->performClick());  // held and masked
  p.passwordEditText->setStringValue("pw");
  p.userNumberEditText->setStringValue("42");
  ASSERT_TRUE(p.authenticationMatrix->clickRow(1));
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(5));
  EXPECT_EQ(p.loginNameStringRef, "alice");
  EXPECT_EQ(p.passwordEditText->stringValue(), "");
  EXPECT_EQ(p.userNumberEditText->stringValue(), "42");
  ASSERT_TRUE(p.authenticationMatrix->clickRow(0));
  EXPECT_EQ(p.userNumberEditText->stringValue(), "");
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(5));
}

TEST(LoginNameHold, MasksOneBulletPerUtf16UnitOncePerHoldAndForgetsOnRelease) {
  const std::pair<const char*, int> cases[] = {{"bob42", 5}, {"\u5C71\U0001F600a", 4}, {"", 0}};
  for (const auto& [name, units] : cases) {
    SCOPED_TRACE(name);
    LoadedPanel loaded;
    Panel& p = loaded.panel;
    p.loginNameEditText->setStringValue(name);
    for (int run = 0; run < 2; ++run) {  // the action run again while held masks nothing twice
      run == 0 ? void(p.loginNameButton->performClick())
               : p.loginNameButtonProc(*p.loginNameButton);
      EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(units));
      EXPECT_EQ(p.loginNameStringRef, name);
      EXPECT_TRUE(p.loginNameLockFlag);
      EXPECT_FALSE(p.loginNameEditText->isEditable());
    }
    ASSERT_TRUE(p.loginNameButton->performClick());  // released
    EXPECT_EQ(p.loginNameEditText->stringValue(), "");
    EXPECT_EQ(p.loginNameStringRef, std::nullopt);
    EXPECT_FALSE(p.loginNameLockFlag);
    EXPECT_TRUE(p.loginNameEditText->isEditable());
  }
}

// ---- Where keyboard focus rests after each action ----

#define DO(...) []([[maybe_unused]] Panel& p) { __VA_ARGS__; }
#define RETENTION_ON p.retentionCheckBox->performClick()
// The layouts start on quick file in both filing controls.
#define MAIN_FOLDER                             \
  p.folderSelectionPopup->selectItemAtIndex(1); \
  p.folderSelectionMatrix->selectCellAtRow(1)
#define QUICK_FILED(row)                 \
  RETENTION_ON;                          \
  p.folderSelectionPopup->chooseItem(0); \
  p.folderSelectionMatrix->clickRow(row)

struct FocusCase {
  const char* what;
  std::function<void(Panel&)> setUp, act;
  Field expected;          // nullptr: no field has focus
  bool unchanged = false;  // the focus stays where it was
  const char* layout = "JobControl";
};
const FocusCase kFocusCases[] = {
    {"retention on, custom folder", DO(p.folderSelectionMatrix->selectCellAtRow(2)),
     DO(RETENTION_ON), &Panel::folderNameEditText},
    {"retention on, custom folder name held",
     DO(p.folderSelectionMatrix->selectCellAtRow(2); p.folderNameButton->setState(1)),
     DO(RETENTION_ON), nullptr},
    {"retention on, main folder", DO(MAIN_FOLDER), DO(RETENTION_ON), nullptr},
    {"retention on, locked folder, reduced layout",
     DO(withFolders(p); p.folderSelectionPopup->selectItemAtIndex(4)), DO(RETENTION_ON),
     &Panel::folderPasswordEditText, false, "JobControl2"},
    {"pop-up: locked folder", DO(withFolders(p); RETENTION_ON),
     DO(p.folderSelectionPopup->chooseItem(4)), &Panel::folderPasswordEditText},
    {"pop-up: open folder", DO(withFolders(p); RETENTION_ON),
     DO(p.folderSelectionPopup->chooseItem(3)), nullptr},
    {"matrix: custom folder", DO(RETENTION_ON), DO(p.folderSelectionMatrix->clickRow(2)),
     &Panel::folderNameEditText},
    {"matrix: main folder", DO(RETENTION_ON), DO(p.folderSelectionMatrix->clickRow(1)), nullptr},
    {"user number", DO(), DO(p.authenticationMatrix->clickRow(1)), &Panel::userNumberEditText},
    {"user number held", DO(p.userNumberButton->setState(1)),
     DO(p.authenticationMatrix->clickRow(1)), nullptr},
    {"login", DO(), DO(p.authenticationMatrix->clickRow(0)), &Panel::loginNameEditText},
    {"login, name held", DO(p.loginNameButton->setState(1)),
     DO(p.authenticationMatrix->clickRow(0)), &Panel::passwordEditText},
    {"login, name and password held",
     DO(p.loginNameButton->setState(1); p.passwordButton->setState(1)),
     DO(p.authenticationMatrix->clickRow(0)), nullptr},
    {"login-name hold on", DO(), DO(p.loginNameButton->performClick()), nullptr},
    {"login-name hold off", DO(p.loginNameButton->setState(1)),
     DO(p.loginNameButton->performClick()), &Panel::loginNameEditText},
    {"user-name hold off", DO(p.userNameButton->setState(1)), DO(p.userNameButton->performClick()),
     &Panel::userNameEditText},
    {"retention-code hold off, retention on",
     DO(MAIN_FOLDER; RETENTION_ON; p.suspendKeyButton->setState(1)),
     DO(p.suspendKeyButton->performClick()), &Panel::suspendKeyEditText},
    {"retention kind, no quick file", DO(MAIN_FOLDER; RETENTION_ON),
     DO(p.suspendMatrix->clickRow(2)), nullptr, true},
    {"retention kind while quick filed", DO(QUICK_FILED(1)), DO(p.suspendMatrix->clickRow(0)),
     nullptr},
    {"retention kind while quick filed, custom folder", DO(QUICK_FILED(2)),
     DO(p.suspendMatrix->clickRow(2)), &Panel::folderPasswordEditText},
};

TEST(ActionFocus, TheLastFieldOfTheFinalRulesDecides) {
  for (const FocusCase& c : kFocusCases) {
    SCOPED_TRACE(c.what);
    LoadedPanel loaded(c.layout);
    ASSERT_EQ(loaded.loadError, "");
    c.setUp(loaded.panel);
    jc::TextField sentinel;
    loaded.window.makeFirstResponder(&sentinel);
    c.act(loaded.panel);
    jc::Control* expected = c.expected ? (loaded.panel.*c.expected).get().get() : nullptr;
    EXPECT_EQ(loaded.focus(), c.unchanged ? &sentinel : expected);
  }
}

}  // namespace
