// The enable-state rules, row by row of the rule table: each rule is run in a set of
// situations of the governing controls, starting from the opposite outcome, and must make
// its control active exactly in the situations listed for it.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "plugin/panel_view_fixture.h"
#include "ui/hilite.h"

namespace {

using namespace jc::test;
using Color = jc::TextField::Color;

// retention: the check box's state; popup: 0 quick, 1 main, 3 "Open", 4 "Locked";
// matrix: 0 quick, 1 main, 2 custom; auth: 0 login, 1 user number, -1 none;
// dropList: the folder list is emptied after the pop-up was set.
struct Situation {
  const char* name;
  int retention, popup, matrix, auth;
  bool held, dropList;
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
  withFolders(p);
  p.retentionCheckBox->setState(s.retention);
  p.folderSelectionPopup->selectItemAtIndex(s.popup);
  p.folderSelectionMatrix->selectCellAtRow(s.matrix);
  p.authenticationMatrix->selectCellAtRow(s.auth);
  for (auto hold : kHolds) (p.*hold)->setState(s.held ? 1 : 0);
  if (s.dropList) p.folderList.clear();
}

using Names = std::set<std::string>;
Names allBut(const Names& excluded) {
  Names names;
  for (const auto& s : kSituations)
    if (!excluded.count(s.name)) names.insert(s.name);
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
const Names kHeld = {"heldAll", "userNumberHeld"};
const Names kUserNumber = {"userNumber", "noAuthRow", "userNumberHeld"};
const Names kNoLogin = {"userNumber", "noAuthRow", "userNumberHeld", "heldAll"};
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
    {CONTROL(loginNameEditText), allBut(kNoLogin)},
    {CONTROL(loginNameButton), allBut(kUserNumber)},
    {CONTROL(passwordStaticText), allBut(kUserNumber)},
    {CONTROL(passwordEditText), allBut(kNoLogin)},
    {CONTROL(passwordButton), allBut(kUserNumber)},
    {CONTROL(userNumberEditText), {"userNumber", "noAuthRow"}},
    {CONTROL(userNumberButton), kUserNumber},
    {CONTROL(userNameEditText), allBut(kHeld)},
    {CONTROL(jobNameEditText), allBut(kHeld)},
    {CONTROL(accountNumberEditText), allBut(kHeld)},
};

void runAllRules(Panel& p) {
  for (const Row& row : kRules) (p.*row.rule)();
}

TEST(EnableRules, EveryRowOfTheRuleTableInEverySituation) {
  for (const Row& row : kRules) {
    for (const Situation& situation : kSituations) {
      SCOPED_TRACE(std::string(row.control) + " in situation " + situation.name);
      LoadedPanel loaded;
      jc::Control& control = row.get(loaded.panel);
      ASSERT_TRUE(control.present());
      apply(loaded.panel, situation);
      const bool active = row.activeIn.count(situation.name) > 0;
      auto* field = dynamic_cast<jc::TextField*>(&control);
      if (field)  // start from the opposite outcome, so the rule has to act
        myTz630eJCHilite(*field, active);
      else
        control.setEnabled(!active);
      jc::TextField other;  // a focus holder outside the rule's reach
      loaded.window.makeFirstResponder(&other);

      for (int run = 0; run < 2; ++run) {  // a second run gives the same outcome
        (loaded.panel.*row.rule)();
        if (!field) {
          EXPECT_EQ(control.isEnabled(), active);
          EXPECT_EQ(loaded.focus(), &other);
          continue;
        }
        EXPECT_EQ(field->textColor(), active ? Color::Black : Color::Gray);
        EXPECT_TRUE(field->isEnabled());  // text fields are dimmed, never disabled
        if (field->tag() == 0) {
          EXPECT_EQ(loaded.focus(), &other);  // a label never moves the focus
        } else {
          EXPECT_EQ(field->isEditable(), active);
          EXPECT_EQ(field->isSelectable(), active);
          EXPECT_EQ(loaded.focus(), active ? field : nullptr);
        }
      }
    }
  }
}

TEST(EnableRules, ControlsWithoutARuleKeepTheirState) {
  LoadedPanel loaded;
  Panel& p = loaded.panel;
  p.accountNumberButton->setEnabled(false);
  p.retentionCheckBox->setState(0);
  p.accountNumberButtonEnabled();
  runAllRules(p);
  EXPECT_FALSE(p.accountNumberButton->isEnabled());
  EXPECT_TRUE(p.retentionCheckBox->isEnabled());
  EXPECT_TRUE(p.getFolderNameButton->isEnabled());
  EXPECT_EQ(p.accountNumberStaticText->textColor(), Color::Black);
  EXPECT_TRUE(p.printersAddressEditText->isEditable());
}

TEST(EnableRules, WithoutAFilingMatrixThePopUpAloneDecides) {
  LoadedPanel loaded("JobControl2");
  ASSERT_EQ(loaded.loadError, "");
  Panel& p = loaded.panel;
  ASSERT_FALSE(p.folderSelectionMatrix);
  withFolders(p);
  p.retentionCheckBox->setState(1);
  for (int index : {1, 3, 4, 0}) {
    SCOPED_TRACE(index);
    p.folderSelectionPopup->selectItemAtIndex(index);
    runAllRules(p);  // the rules of the controls this layout lacks must cope too
    EXPECT_EQ(p.folderPasswordEditText->isEditable(), index == 4);
    EXPECT_EQ(p.folderPasswordButton->isEnabled(), index == 4);
    EXPECT_EQ(p.suspendKeyEditText->isEditable(), index != 0);
  }
  EXPECT_FALSE(jc::absent<jc::Button>().isEnabled());
  EXPECT_EQ(jc::absent<jc::TextField>().textColor(), Color::Black);
}

// Cases the rule table cannot reach: a label's flags, and a field outside any window.
TEST(Hilite, ALabelKeepsItsFlagsAndAFieldOutsideAWindowMovesNoFocus) {
  jc::TextField label;
  label.setSelectable(true);
  myTz630eJCHilite(label, true);
  EXPECT_EQ(label.textColor(), Color::Gray);
  EXPECT_TRUE(label.isSelectable());
  jc::TextField loose;
  loose.setTag(1);
  myTz630eJCHilite(loose, true);
  EXPECT_FALSE(loose.typeText("x"));
  myTz630eJCHilite(loose, false);
  EXPECT_TRUE(loose.typeText("x"));
}

}  // namespace
