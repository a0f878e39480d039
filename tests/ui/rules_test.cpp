// The enable-state rules, row by row of the rule table: each rule is run in a set of
// situations of the governing controls, starting from the opposite outcome, and must make
// its control active exactly in the situations listed for it.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "panel_fixture.h"
#include "ui/hilite.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;
using jc::test::LoadedPanel;

// ---- Situations: states of the governing controls ----

struct Situation {
  const char* name;
  int retention;   // retentionCheckBox state
  int popupIndex;  // folderSelectionPopup: 0 quick, 1 main, 3 "Open", 4 "Locked"
  int matrixRow;   // folderSelectionMatrix: 0 quick, 1 main, 2 custom
  int authRow;     // authenticationMatrix: 0 login, 1 user number, -1 none
  bool held;       // every hold button on
  bool dropList;   // the folder list is emptied after the pop-up was set
};

const Situation kSituations[] = {
    {"off", 0, 1, 1, 0, false, false},
    {"offCustomLocked", 0, 4, 2, 0, false, false},
    {"main", 1, 1, 1, 0, false, false},
    {"quickPopup", 1, 0, 1, 0, false, false},
    {"quickMatrix", 1, 1, 0, 0, false, false},
    {"openFolder", 1, 3, 1, 0, false, false},
    {"lockedFolder", 1, 4, 1, 0, false, false},
    {"lockedNoList", 1, 4, 1, 0, false, true},
    {"custom", 1, 1, 2, 0, false, false},
    {"quickPopupCustom", 1, 0, 2, 0, false, false},
    {"mixedRetention", -1, 4, 1, 0, false, false},
    {"heldAll", 1, 4, 2, 0, true, false},
    {"userNumber", 1, 1, 1, 1, false, false},
    {"noAuthRow", 1, 1, 1, -1, false, false},
    {"userNumberHeld", 1, 1, 1, 1, true, false},
};

void apply(Panel& p, const Situation& s) {
  p.folderList = {{"Open", false, true, false}, {"Locked", true, true, false}};
  p.makeFolderPopup();
  p.retentionCheckBox->setState(s.retention);
  p.folderSelectionPopup->selectItemAtIndex(s.popupIndex);
  p.folderSelectionMatrix->selectCellAtRow(s.matrixRow);
  p.authenticationMatrix->selectCellAtRow(s.authRow);
  for (auto* hold : {&p.suspendKeyButton, &p.folderPasswordButton, &p.folderNameButton,
                     &p.loginNameButton, &p.passwordButton, &p.userNumberButton, &p.userNameButton,
                     &p.jobNameButton, &p.accountNumberButton})
    (*hold)->setState(s.held ? 1 : 0);
  if (s.dropList) p.folderList.clear();
}

// ---- The table: rule, control, situations in which the control is active ----

using Names = std::set<std::string>;
const Names kAll = [] {
  Names all;
  for (const auto& s : kSituations) all.insert(s.name);
  return all;
}();
Names allBut(const Names& excluded) {
  Names names;
  for (const auto& n : kAll)
    if (!excluded.count(n)) names.insert(n);
  return names;
}

struct Row {
  const char* control;
  void (Panel::*rule)();
  std::function<jc::Control&(Panel&)> get;
  Names activeIn;
};

#define CONTROL(name) \
#name, &Panel::name##Enabled, [](Panel & p) -> jc::Control& { return *p.name; }

const Names kRetentionOff = {"off", "offCustomLocked"};
const Names kQuickFile = {"quickPopup", "quickMatrix", "quickPopupCustom"};
const Names kHeld = {"heldAll", "userNumberHeld"};
const Names kUserNumber = {"userNumber", "noAuthRow", "userNumberHeld"};
const Names kRetentionKeyApplies =
    allBut({"off", "offCustomLocked", "quickPopup", "quickMatrix", "quickPopupCustom"});
const Names kFolderPassCodeApplies = {"lockedFolder", "custom", "quickPopupCustom", "heldAll",
                                      "mixedRetention"};

const std::vector<Row> kRules = {
    {CONTROL(suspendMatrix), allBut(kRetentionOff)},
    {CONTROL(suspendKeyStaticText), kRetentionKeyApplies},
    {CONTROL(suspendKeyEditText), allBut({"off", "offCustomLocked", "quickPopup", "quickMatrix",
                                          "quickPopupCustom", "heldAll", "userNumberHeld"})},
    {CONTROL(suspendKeyButton), kRetentionKeyApplies},
    {CONTROL(folderSelectionStaticText), allBut(kRetentionOff)},
    {CONTROL(folderSelectionPopup), allBut(kRetentionOff)},
    {CONTROL(folderSelectionMatrix), allBut(kRetentionOff)},
    {CONTROL(folderPasswordStaticText), kFolderPassCodeApplies},
    {CONTROL(folderPasswordEditText),
     {"lockedFolder", "custom", "quickPopupCustom", "mixedRetention"}},
    {CONTROL(folderPasswordButton), kFolderPassCodeApplies},
    {CONTROL(folderNameEditText), {"custom", "quickPopupCustom"}},
    {CONTROL(folderNameButton), {"custom", "quickPopupCustom", "heldAll"}},
    {CONTROL(loginNameStaticText), allBut(kUserNumber)},
    {CONTROL(loginNameEditText), allBut({"userNumber", "noAuthRow", "userNumberHeld", "heldAll"})},
    {CONTROL(loginNameButton), allBut(kUserNumber)},
    {CONTROL(passwordStaticText), allBut(kUserNumber)},
    {CONTROL(passwordEditText), allBut({"userNumber", "noAuthRow", "userNumberHeld", "heldAll"})},
    {CONTROL(passwordButton), allBut(kUserNumber)},
    {CONTROL(userNumberEditText), {"userNumber", "noAuthRow"}},
    {CONTROL(userNumberButton), kUserNumber},
    {CONTROL(userNameEditText), allBut(kHeld)},
    {CONTROL(jobNameEditText), allBut(kHeld)},
    {CONTROL(accountNumberEditText), allBut(kHeld)},
};

// Puts a control into the outcome opposite to `active`, so the rule has to act.
void setOpposite(jc::Control& control, bool active) {
  if (auto* field = dynamic_cast<jc::TextField*>(&control))
    myTz630eJCHilite(*field, active);
  else
    control.setEnabled(!active);
}

TEST(EnableRules, EveryRowOfTheRuleTableInEverySituation) {
  for (const Row& row : kRules) {
    for (const Situation& situation : kSituations) {
      SCOPED_TRACE(std::string(row.control) + " in situation " + situation.name);
      LoadedPanel loaded;
      Panel& panel = loaded.panel;
      jc::Control& control = row.get(panel);
      ASSERT_TRUE(control.present());
      apply(panel, situation);
      const bool active = row.activeIn.count(situation.name) > 0;
      setOpposite(control, active);
      jc::TextField other;  // a focus holder outside the rule's reach
      loaded.window.makeFirstResponder(&other);

      (panel.*row.rule)();

      if (auto* field = dynamic_cast<jc::TextField*>(&control)) {
        EXPECT_EQ(field->textColor(),
                  active ? jc::TextField::Color::Black : jc::TextField::Color::Gray);
        EXPECT_TRUE(field->isEnabled());  // text fields are dimmed, never disabled
        if (field->tag() != 0) {
          EXPECT_EQ(field->isEditable(), active);
          EXPECT_EQ(field->isSelectable(), active);
          EXPECT_EQ(loaded.focus(), active ? field : nullptr);
        } else {
          EXPECT_EQ(loaded.focus(), &other);  // a label never moves the focus
        }
      } else {
        EXPECT_EQ(control.isEnabled(), active);
        EXPECT_EQ(loaded.focus(), &other);
      }
      // Rules keep no memory: running one again gives the same outcome.
      (panel.*row.rule)();
      if (auto* field = dynamic_cast<jc::TextField*>(&control))
        EXPECT_EQ(field->textColor(),
                  active ? jc::TextField::Color::Black : jc::TextField::Color::Gray);
      else
        EXPECT_EQ(control.isEnabled(), active);
    }
  }
}

TEST(EnableRules, TheAccountHoldButtonAndUnruledControlsKeepTheirState) {
  LoadedPanel loaded;
  Panel& panel = loaded.panel;
  panel.accountNumberButton->setEnabled(false);
  panel.retentionCheckBox->setState(0);
  panel.accountNumberButtonEnabled();
  for (const Row& row : kRules) (panel.*row.rule)();
  EXPECT_FALSE(panel.accountNumberButton->isEnabled());
  EXPECT_TRUE(panel.retentionCheckBox->isEnabled());
  EXPECT_TRUE(panel.userNameButton->isEnabled());
  EXPECT_TRUE(panel.getFolderNameButton->isEnabled());
  EXPECT_EQ(panel.accountNumberStaticText->textColor(), jc::TextField::Color::Black);
  EXPECT_TRUE(panel.printersAddressEditText->isEditable());
}

TEST(EnableRules, WithoutAFilingMatrixThePopUpAloneDecides) {
  LoadedPanel loaded("JobControl2");
  ASSERT_EQ(loaded.loadError, "");
  Panel& panel = loaded.panel;
  ASSERT_FALSE(panel.folderSelectionMatrix);
  panel.folderList = {{"Open", false, true, false}, {"Locked", true, true, false}};
  panel.makeFolderPopup();
  panel.retentionCheckBox->setState(1);
  for (int index : {1, 3, 4, 0}) {
    SCOPED_TRACE(index);
    panel.folderSelectionPopup->selectItemAtIndex(index);
    for (const Row& row : kRules) (panel.*row.rule)();
    const bool locked = index == 4;
    EXPECT_EQ(panel.folderPasswordEditText->isEditable(), locked);
    EXPECT_EQ(panel.folderPasswordStaticText->textColor(),
              locked ? jc::TextField::Color::Black : jc::TextField::Color::Gray);
    EXPECT_EQ(panel.folderPasswordButton->isEnabled(), locked);
    EXPECT_EQ(panel.suspendKeyEditText->isEditable(), index != 0);
  }
  // The rules of the controls this layout lacks change nothing and raise nothing.
  panel.folderNameEditTextEnabled();
  panel.folderNameButtonEnabled();
  panel.folderSelectionMatrixEnabled();
  panel.loginNameButtonEnabled();
  panel.passwordButtonEnabled();
  panel.userNumberButtonEnabled();
  EXPECT_FALSE(jc::absent<jc::Button>().isEnabled());
  EXPECT_EQ(jc::absent<jc::TextField>().textColor(), jc::TextField::Color::Black);
}

// The rule table test covers fields in a window; these are the cases it cannot reach.
TEST(Hilite, ALabelKeepsItsFlagsAndAFieldOutsideAWindowMovesNoFocus) {
  jc::TextField label;
  label.setSelectable(true);
  myTz630eJCHilite(label, true);
  EXPECT_EQ(label.textColor(), jc::TextField::Color::Gray);
  EXPECT_TRUE(label.isSelectable());
  jc::TextField loose;
  loose.setTag(1);
  myTz630eJCHilite(loose, true);
  EXPECT_FALSE(loose.isEditable());
  EXPECT_FALSE(loose.typeText("x"));
  myTz630eJCHilite(loose, false);
  EXPECT_TRUE(loose.typeText("x"));
}

}  // namespace
