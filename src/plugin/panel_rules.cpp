// Enable-state rules: which dependent control is usable, from the governing controls' state
// at the moment a rule runs. Each condition is written once below, and each rule is one
// line that reads like the rule table: control, then when it is active.
#include "plugin/panel.h"
#include "plugin/panel_positions.h"
#include "ui/hilite.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;

// ---- Conditions, read afresh from the controls ----
// Absent controls answer 0 through their outlets; the filing controls are tested for
// presence first because an absent pop-up's index 0 would otherwise read as quick file.

bool retentionOn(const Panel& p) {
  return p.retentionCheckBox->state() != 0;
}

bool quickFileChosen(const Panel& p) {
  return (p.folderSelectionPopup &&
          p.folderSelectionPopup->indexOfSelectedItem() == jc::kQuickFileItem) ||
         (p.folderSelectionMatrix && p.folderSelectionMatrix->selectedRow() == jc::kQuickFileRow);
}

bool customFolderChosen(const Panel& p) {
  return p.folderSelectionMatrix && p.folderSelectionMatrix->selectedRow() == jc::kCustomFolderRow;
}

bool protectedFolderChosen(const Panel& p) {
  const jc::FolderEntry* folder = p.selectedFolder();
  return folder && folder->password;
}

bool folderPassCodeApplies(const Panel& p) {
  return protectedFolderChosen(p) || customFolderChosen(p);
}

bool loginChosen(const Panel& p) {
  return p.authenticationMatrix->selectedRow() == jc::kLoginRow;
}

bool on(const jc::Outlet<jc::Button>& holdButton) {
  return holdButton->state() == 1;
}

// ---- Applying an outcome: enable or disable; text fields are dimmed, never disabled ----

template <class T>
void activate(const jc::Outlet<T>& control, bool active) {
  control->setEnabled(active);
}
void activate(const jc::Outlet<jc::TextField>& field, bool active) {
  myTz630eJCHilite(*field, !active);
}

}  // namespace

// clang-format off
// Each rule: the control it governs, then exactly when that control is active.
void Panel::suspendMatrixEnabled()             { activate(suspendMatrix,             retentionOn(*this)); }
void Panel::suspendKeyStaticTextEnabled()      { activate(suspendKeyStaticText,      retentionOn(*this) && !quickFileChosen(*this)); }
void Panel::suspendKeyEditTextEnabled()        { activate(suspendKeyEditText,        retentionOn(*this) && !quickFileChosen(*this) && !on(suspendKeyButton)); }
void Panel::suspendKeyButtonEnabled()          { activate(suspendKeyButton,          retentionOn(*this) && !quickFileChosen(*this)); }
void Panel::folderSelectionStaticTextEnabled() { activate(folderSelectionStaticText, retentionOn(*this)); }
void Panel::folderSelectionPopupEnabled()      { activate(folderSelectionPopup,      retentionOn(*this)); }
void Panel::folderSelectionMatrixEnabled()     { activate(folderSelectionMatrix,     retentionOn(*this)); }
void Panel::folderPasswordStaticTextEnabled()  { activate(folderPasswordStaticText,  retentionOn(*this) && folderPassCodeApplies(*this)); }
void Panel::folderPasswordEditTextEnabled()    { activate(folderPasswordEditText,    retentionOn(*this) && !on(folderPasswordButton) && folderPassCodeApplies(*this)); }
void Panel::folderPasswordButtonEnabled()      { activate(folderPasswordButton,      retentionOn(*this) && folderPassCodeApplies(*this)); }
void Panel::folderNameEditTextEnabled()        { activate(folderNameEditText,        retentionOn(*this) && !on(folderNameButton) && customFolderChosen(*this)); }
void Panel::folderNameButtonEnabled()          { activate(folderNameButton,          retentionOn(*this) && customFolderChosen(*this)); }
void Panel::loginNameStaticTextEnabled()       { activate(loginNameStaticText,       loginChosen(*this)); }
void Panel::loginNameEditTextEnabled()         { activate(loginNameEditText,         loginChosen(*this) && !on(loginNameButton)); }
void Panel::loginNameButtonEnabled()           { activate(loginNameButton,           loginChosen(*this)); }
void Panel::passwordStaticTextEnabled()        { activate(passwordStaticText,        loginChosen(*this)); }
void Panel::passwordEditTextEnabled()          { activate(passwordEditText,          loginChosen(*this) && !on(passwordButton)); }
void Panel::passwordButtonEnabled()            { activate(passwordButton,            loginChosen(*this)); }
void Panel::userNumberEditTextEnabled()        { activate(userNumberEditText,        !loginChosen(*this) && !on(userNumberButton)); }
void Panel::userNumberButtonEnabled()          { activate(userNumberButton,          !loginChosen(*this)); }
void Panel::userNameEditTextEnabled()          { activate(userNameEditText,          !on(userNameButton)); }
void Panel::jobNameEditTextEnabled()           { activate(jobNameEditText,           !on(jobNameButton)); }
void Panel::accountNumberEditTextEnabled()     { activate(accountNumberEditText,     !on(accountNumberButton)); }
// clang-format on

// The account number's hold button stays as the layout made it.
void Panel::accountNumberButtonEnabled() {}

void Panel::folderChoiceEnabled() {
  suspendKeyStaticTextEnabled();
  suspendKeyEditTextEnabled();
  suspendKeyButtonEnabled();
  folderPasswordStaticTextEnabled();
  folderPasswordEditTextEnabled();
  folderPasswordButtonEnabled();
  folderNameButtonEnabled();
}
