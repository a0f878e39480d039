// The control actions as a person triggers them (clicks, choices) and as the reading of
// saved settings calls them: the choices they adjust, the fields they empty, the login
// name's mask, and where keyboard focus rests afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "panel_fixture.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;
using jc::test::LoadedPanel;

constexpr const char* kBullet = "\u2022";

std::string bullets(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kBullet;
  return s;
}

// Turns retention on by a click, as the person does before any filing choice.
void retentionOn(Panel& p) {
  p.retentionCheckBox->setState(0);
  ASSERT_TRUE(p.retentionCheckBox->performClick());
}

TEST(RetentionAction, TurningOffWithQuickFileResetsChoicesAndEmptiesUnheldCodes) {
  for (bool held : {false, true}) {
    SCOPED_TRACE(held ? "codes held" : "codes free");
    LoadedPanel loaded;
    Panel& p = loaded.panel;
    retentionOn(p);
    ASSERT_TRUE(p.folderSelectionPopup->chooseItem(0));  // quick file
    ASSERT_TRUE(p.folderSelectionMatrix->clickRow(2));   // custom folder
    ASSERT_TRUE(p.suspendMatrix->clickRow(1));
    p.suspendKeyEditText->setStringValue("123");
    p.folderPasswordEditText->setStringValue("456");
    p.folderNameEditText->setStringValue("Reports");
    p.suspendKeyButton->setState(held);
    p.folderPasswordButton->setState(held);
    p.folderNameButton->setState(held);

    ASSERT_TRUE(p.retentionCheckBox->performClick());  // off

    EXPECT_EQ(p.folderSelectionPopup->indexOfSelectedItem(), 1);
    EXPECT_EQ(p.folderSelectionMatrix->selectedRow(), 2);  // custom is no quick file
    EXPECT_EQ(p.suspendMatrix->selectedRow(), 0);
    EXPECT_EQ(p.suspendKeyEditText->stringValue(), held ? "123" : "");
    EXPECT_EQ(p.folderPasswordEditText->stringValue(), held ? "456" : "");
    EXPECT_EQ(p.folderNameEditText->stringValue(), held ? "Reports" : "");
    EXPECT_FALSE(p.suspendMatrix->isEnabled());
    EXPECT_FALSE(p.folderSelectionPopup->isEnabled());
    EXPECT_FALSE(p.folderSelectionMatrix->isEnabled());
    EXPECT_FALSE(p.suspendKeyButton->isEnabled());
    EXPECT_FALSE(p.folderPasswordButton->isEnabled());
    EXPECT_FALSE(p.folderNameButton->isEnabled());
    for (auto* field :
         {&p.suspendKeyEditText, &p.folderPasswordEditText, &p.folderNameEditText,
          &p.suspendKeyStaticText, &p.folderSelectionStaticText, &p.folderPasswordStaticText})
      EXPECT_EQ((*field)->textColor(), jc::TextField::Color::Gray) << (*field)->identifier();
  }
}

TEST(RetentionAction, TurningOnChangesNoChoiceAndNoText) {
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  p.suspendMatrix->selectCellAtRow(2);
  p.folderSelectionPopup->selectItemAtIndex(0);
  p.suspendKeyEditText->setStringValue("77");
  retentionOn(p);
  EXPECT_EQ(p.suspendMatrix->selectedRow(), 2);
  EXPECT_EQ(p.folderSelectionPopup->indexOfSelectedItem(), 0);
  EXPECT_EQ(p.suspendKeyEditText->stringValue(), "77");
}

TEST(FilingActions, QuickFileMeansHoldAfterPrintWithoutRetentionCode) {
  // Once through the pop-up, once through the matrix; with the code free, then held.
  for (bool viaPopup : {true, false}) {
    for (bool held : {false, true}) {
      SCOPED_TRACE(std::string(viaPopup ? "pop-up" : "matrix") + (held ? ", held" : ", free"));
      LoadedPanel loaded;
      Panel& p = loaded.panel;
      retentionOn(p);
      ASSERT_TRUE(p.suspendMatrix->clickRow(2));  // sample print
      p.suspendKeyEditText->setStringValue("2468");
      p.suspendKeyButton->setState(held);
      if (viaPopup)
        ASSERT_TRUE(p.folderSelectionPopup->chooseItem(0));
      else
        ASSERT_TRUE(p.folderSelectionMatrix->clickRow(0));
      EXPECT_EQ(p.suspendMatrix->selectedRow(), 1);
      EXPECT_EQ(p.suspendKeyEditText->stringValue(), held ? "2468" : "");
      EXPECT_FALSE(p.suspendKeyButton->isEnabled());
      EXPECT_FALSE(p.suspendKeyEditText->isEditable());
    }
  }
}

TEST(FilingActions, ARetentionKindOtherThanHoldAfterMovesFilingToTheMainFolder) {
  for (int row : {0, 2, 1}) {
    SCOPED_TRACE(row);
    LoadedPanel loaded;
    Panel& p = loaded.panel;
    retentionOn(p);
    ASSERT_TRUE(p.folderSelectionPopup->chooseItem(0));
    ASSERT_TRUE(p.folderSelectionMatrix->clickRow(0));
    ASSERT_EQ(p.suspendMatrix->selectedRow(), 1);
    p.suspendMatrix->clickRow(row);
    const int expected = row == 1 ? 0 : 1;  // hold after print keeps quick file
    EXPECT_EQ(p.folderSelectionPopup->indexOfSelectedItem(), expected);
    EXPECT_EQ(p.folderSelectionMatrix->selectedRow(), expected);
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
      const bool kept = held || row == 2;
      EXPECT_EQ(p.folderPasswordEditText->stringValue(), kept ? "13579" : "");
      EXPECT_EQ(p.folderNameEditText->stringValue(), kept ? "Team" : "");
    }
  }
  // Choosing another folder in the pop-up empties nothing.
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  p.folderList = {{"A", true, true, false}};
  p.makeFolderPopup();
  retentionOn(p);
  ASSERT_TRUE(p.folderSelectionPopup->chooseItem(3));
  p.folderPasswordEditText->setStringValue("11111");
  ASSERT_TRUE(p.folderSelectionPopup->chooseItem(1));
  EXPECT_EQ(p.folderPasswordEditText->stringValue(), "11111");
}

TEST(AuthenticationAction, UserNumberEmptiesUnheldLoginFieldsAndTakesFocus) {
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
  EXPECT_EQ(loaded.focus(), p.userNumberEditText.get().get());
  EXPECT_FALSE(p.loginNameButton->isEnabled());
  EXPECT_TRUE(p.userNumberButton->isEnabled());

  // Back to login: the unheld user number goes, the held login name stays.
  ASSERT_TRUE(p.authenticationMatrix->clickRow(0));
  EXPECT_EQ(p.userNumberEditText->stringValue(), "");
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(5));
}

TEST(LoginNameHold, MasksOncePerHoldAndForgetsOnRelease) {
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  p.loginNameEditText->setStringValue("bob42");
  ASSERT_TRUE(p.loginNameButton->performClick());
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(5));
  EXPECT_EQ(p.loginNameStringRef, "bob42");
  EXPECT_TRUE(p.loginNameLockFlag);
  EXPECT_FALSE(p.loginNameEditText->isEditable());
  EXPECT_EQ(loaded.focus(), nullptr);

  // Running the action again while held masks nothing twice and keeps the real name.
  p.loginNameButtonProc(*p.loginNameButton);
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(5));
  EXPECT_EQ(p.loginNameStringRef, "bob42");

  ASSERT_TRUE(p.loginNameButton->performClick());  // released
  EXPECT_EQ(p.loginNameEditText->stringValue(), "");
  EXPECT_EQ(p.loginNameStringRef, std::nullopt);
  EXPECT_FALSE(p.loginNameLockFlag);
  EXPECT_TRUE(p.loginNameEditText->isEditable());
  EXPECT_EQ(loaded.focus(), p.loginNameEditText.get().get());

  // One bullet per UTF-16 unit: an emoji shows two, a CJK character one.
  ASSERT_TRUE(p.loginNameEditText->typeText("\u5C71\U0001F600a"));
  ASSERT_TRUE(p.loginNameButton->performClick());
  EXPECT_EQ(p.loginNameEditText->stringValue(), bullets(4));
  EXPECT_EQ(p.loginNameStringRef, "\u5C71\U0001F600a");

  // An empty name stays empty, yet the hold is taken.
  ASSERT_TRUE(p.loginNameButton->performClick());
  ASSERT_TRUE(p.loginNameButton->performClick());
  EXPECT_EQ(p.loginNameEditText->stringValue(), "");
  EXPECT_EQ(p.loginNameStringRef, "");
  EXPECT_TRUE(p.loginNameLockFlag);
}

// ---- Where keyboard focus rests after each action ----

struct FocusCase {
  const char* what;
  const char* layout;
  std::function<void(Panel&)> setUp;
  std::function<void(Panel&)> act;
  // The field expected to hold focus (nullptr: none); "unchanged" keeps the sentinel.
  std::function<jc::Control*(Panel&)> expected;
};

jc::Control* none(Panel&) {
  return nullptr;
}
jc::TextField sentinel;
jc::Control* unchanged(Panel&) {
  return &sentinel;
}
#define FIELD(name) [](Panel& p) -> jc::Control* { return p.name.get().get(); }

// The layouts start on quick file in both filing controls; most cases want the main folder.
void mainFolder(Panel& p) {
  p.folderSelectionPopup->selectItemAtIndex(1);
  p.folderSelectionMatrix->selectCellAtRow(1);
}

void withFolders(Panel& p) {
  p.folderList = {{"Open", false, true, false}, {"Locked", true, true, false}};
  p.makeFolderPopup();
}

const FocusCase kFocusCases[] = {
    {"retention on, custom folder", "JobControl",
     [](Panel& p) { p.folderSelectionMatrix->selectCellAtRow(2); },
     [](Panel& p) { p.retentionCheckBox->performClick(); }, FIELD(folderNameEditText)},
    {"retention on, custom folder name held", "JobControl",
     [](Panel& p) {
       p.folderSelectionMatrix->selectCellAtRow(2);
       p.folderNameButton->setState(1);
     },
     [](Panel& p) { p.retentionCheckBox->performClick(); }, none},
    {"retention on, main folder", "JobControl", mainFolder,
     [](Panel& p) { p.retentionCheckBox->performClick(); }, none},
    {"retention on, locked folder, no folder name field", "JobControl2",
     [](Panel& p) {
       withFolders(p);
       p.folderSelectionPopup->selectItemAtIndex(4);
     },
     [](Panel& p) { p.retentionCheckBox->performClick(); }, FIELD(folderPasswordEditText)},
    {"retention on, main folder, no folder name field", "JobControl2", mainFolder,
     [](Panel& p) { p.retentionCheckBox->performClick(); }, none},
    {"pop-up: locked folder", "JobControl",
     [](Panel& p) {
       withFolders(p);
       p.retentionCheckBox->performClick();
     },
     [](Panel& p) { p.folderSelectionPopup->chooseItem(4); }, FIELD(folderPasswordEditText)},
    {"pop-up: open folder", "JobControl",
     [](Panel& p) {
       withFolders(p);
       p.retentionCheckBox->performClick();
     },
     [](Panel& p) { p.folderSelectionPopup->chooseItem(3); }, none},
    {"matrix: custom folder", "JobControl", [](Panel& p) { p.retentionCheckBox->performClick(); },
     [](Panel& p) { p.folderSelectionMatrix->clickRow(2); }, FIELD(folderNameEditText)},
    {"matrix: main folder", "JobControl", [](Panel& p) { p.retentionCheckBox->performClick(); },
     [](Panel& p) { p.folderSelectionMatrix->clickRow(1); }, none},
    {"authentication: user number", "JobControl", [](Panel&) {},
     [](Panel& p) { p.authenticationMatrix->clickRow(1); }, FIELD(userNumberEditText)},
    {"authentication: user number held", "JobControl",
     [](Panel& p) { p.userNumberButton->setState(1); },
     [](Panel& p) { p.authenticationMatrix->clickRow(1); }, none},
    {"authentication: login", "JobControl", [](Panel&) {},
     [](Panel& p) { p.authenticationMatrix->clickRow(0); }, FIELD(loginNameEditText)},
    {"authentication: login, name held", "JobControl",
     [](Panel& p) { p.loginNameButton->setState(1); },
     [](Panel& p) { p.authenticationMatrix->clickRow(0); }, FIELD(passwordEditText)},
    {"authentication: login, name and password held", "JobControl",
     [](Panel& p) {
       p.loginNameButton->setState(1);
       p.passwordButton->setState(1);
     },
     [](Panel& p) { p.authenticationMatrix->clickRow(0); }, none},
    {"login-name hold on", "JobControl", [](Panel&) {},
     [](Panel& p) { p.loginNameButton->performClick(); }, none},
    {"login-name hold off", "JobControl", [](Panel& p) { p.loginNameButton->setState(1); },
     [](Panel& p) { p.loginNameButton->performClick(); }, FIELD(loginNameEditText)},
    {"user-name hold off", "JobControl", [](Panel& p) { p.userNameButton->setState(1); },
     [](Panel& p) { p.userNameButton->performClick(); }, FIELD(userNameEditText)},
    {"job-name hold on", "JobControl", [](Panel&) {},
     [](Panel& p) { p.jobNameButton->performClick(); }, none},
    {"retention-code hold off, retention on", "JobControl",
     [](Panel& p) {
       mainFolder(p);
       p.retentionCheckBox->performClick();
       p.suspendKeyButton->setState(1);
     },
     [](Panel& p) { p.suspendKeyButton->performClick(); }, FIELD(suspendKeyEditText)},
    {"retention kind, no quick file", "JobControl",
     [](Panel& p) {
       mainFolder(p);
       p.retentionCheckBox->performClick();
     },
     [](Panel& p) { p.suspendMatrix->clickRow(2); }, unchanged},
    {"retention kind while quick filed", "JobControl",
     [](Panel& p) {
       p.retentionCheckBox->performClick();
       p.folderSelectionPopup->chooseItem(0);
       p.folderSelectionMatrix->clickRow(1);
     },
     [](Panel& p) { p.suspendMatrix->clickRow(0); }, none},
    {"retention kind while quick filed, custom folder", "JobControl",
     [](Panel& p) {
       p.retentionCheckBox->performClick();
       p.folderSelectionPopup->chooseItem(0);
       p.folderSelectionMatrix->clickRow(2);
     },
     [](Panel& p) { p.suspendMatrix->clickRow(2); }, FIELD(folderPasswordEditText)},
};

TEST(ActionFocus, TheLastFieldOfTheFinalRulesDecides) {
  for (const FocusCase& c : kFocusCases) {
    SCOPED_TRACE(c.what);
    LoadedPanel loaded(c.layout);
    ASSERT_EQ(loaded.loadError, "");
    c.setUp(loaded.panel);
    loaded.window.makeFirstResponder(&sentinel);
    c.act(loaded.panel);
    EXPECT_EQ(loaded.focus(), c.expected(loaded.panel));
  }
}

}  // namespace
