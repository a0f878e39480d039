// Control actions: what each control does when operated, by the person or by the reading
// of saved settings. They keep the choices consistent, empty the fields a choice makes
// irrelevant unless held, mask a held login name, and re-run the enable rules in order.
#include "platform/text/unicode.h"
#include "plugin/panel.h"
#include "plugin/panel_positions.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;

// Empties `field` unless its hold button is on: a held entry survives every choice.
void emptyUnlessHeld(const jc::Outlet<jc::TextField>& field, const jc::Outlet<jc::Button>& hold) {
  if (hold->state() == 0) field->setStringValue("");
}

// Gives `field` the keyboard focus of its window, when it is in one.
void focus(jc::TextField& field) {
  if (jc::Window* window = field.window()) window->makeFirstResponder(&field);
}

}  // namespace

// Actions that never do anything: typing into a field changes nothing else, and the tab
// view and the printer-address entry have no behaviour of their own.
void Panel::tabProc(jc::Control&) {}
void Panel::printersAddressButtonProc(jc::Control&) {}
void Panel::suspendKeyETextProc(jc::Control&) {}
void Panel::folderPasswordETextProc(jc::Control&) {}
void Panel::loginNameETextProc(jc::Control&) {}
void Panel::passwordETextProc(jc::Control&) {}
void Panel::userNumberETextProc(jc::Control&) {}
void Panel::userNameETextProc(jc::Control&) {}
void Panel::jobNameETextProc(jc::Control&) {}
void Panel::accountNumberETextProc(jc::Control&) {}

void Panel::retentionCBoxProc(jc::Control&) {
  if (!retentionCheckBox) return;
  if (retentionCheckBox->state() != 1) {
    // Retention off: back to the neutral choices, and a quick-filed job (which needs
    // retention) moves to the main folder through the filing actions themselves.
    suspendMatrix->selectCellAtRow(jc::kHoldOnlyRow, 0);
    emptyUnlessHeld(suspendKeyEditText, suspendKeyButton);
    if (folderSelectionPopup && folderSelectionPopup->indexOfSelectedItem() == jc::kQuickFileItem) {
      folderSelectionPopup->selectItemAtIndex(jc::kMainFolderItem);
      folderSelectionPopUpButtonProc(*folderSelectionPopup);
    }
    if (folderSelectionMatrix && folderSelectionMatrix->selectedRow() == jc::kQuickFileRow) {
      folderSelectionMatrix->selectCellAtRow(jc::kMainFolderRow, 0);
      folderSelectionMatrixProc(*folderSelectionMatrix);
    }
    emptyUnlessHeld(folderPasswordEditText, folderPasswordButton);
    emptyUnlessHeld(folderNameEditText, folderNameButton);
  }
  suspendMatrixEnabled();
  suspendKeyStaticTextEnabled();
  suspendKeyEditTextEnabled();
  suspendKeyButtonEnabled();
  folderSelectionStaticTextEnabled();
  folderSelectionPopupEnabled();
  folderPasswordStaticTextEnabled();
  folderPasswordEditTextEnabled();
  folderPasswordButtonEnabled();
  folderSelectionMatrixEnabled();
  folderNameEditTextEnabled();
  folderNameButtonEnabled();
}

void Panel::suspendKeyMatrixProc(jc::Control&) {
  // Only hold after print goes with quick file; any other kind moves the filing away.
  if (!suspendMatrix || suspendMatrix->selectedRow() == jc::kHoldAfterRow) return;
  if (folderSelectionPopup && folderSelectionPopup->indexOfSelectedItem() == jc::kQuickFileItem) {
    folderSelectionPopup->selectItemAtIndex(jc::kMainFolderItem);
    folderSelectionPopUpButtonProc(*folderSelectionPopup);
  }
  if (folderSelectionMatrix && folderSelectionMatrix->selectedRow() == jc::kQuickFileRow) {
    folderSelectionMatrix->selectCellAtRow(jc::kMainFolderRow, 0);
    folderSelectionMatrixProc(*folderSelectionMatrix);
  }
}

void Panel::folderSelectionPopUpButtonProc(jc::Control&) {
  if (!folderSelectionPopup) return;
  if (folderSelectionPopup->indexOfSelectedItem() == jc::kQuickFileItem) {
    // A quick-filed job is always held after printing, and has no retention pass code.
    if (suspendMatrix->selectedRow() != jc::kHoldAfterRow)
      suspendMatrix->selectCellAtRow(jc::kHoldAfterRow, 0);
    emptyUnlessHeld(suspendKeyEditText, suspendKeyButton);
  }
  folderChoiceEnabled();
}

void Panel::folderSelectionMatrixProc(jc::Control&) {
  // An absent matrix would read as row 0, quick file, and wrongly empty the retention pass
  // code; like every other choice action, this one needs its control.
  if (!folderSelectionMatrix) return;
  const int row = folderSelectionMatrix->selectedRow();
  if (row == jc::kQuickFileRow) {
    if (suspendMatrix->selectedRow() != jc::kHoldAfterRow)
      suspendMatrix->selectCellAtRow(jc::kHoldAfterRow, 0);
    emptyUnlessHeld(suspendKeyEditText, suspendKeyButton);
  }
  if (row == jc::kQuickFileRow || row == jc::kMainFolderRow) {
    // Only a custom folder takes a folder name and its pass code.
    emptyUnlessHeld(folderPasswordEditText, folderPasswordButton);
    emptyUnlessHeld(folderNameEditText, folderNameButton);
  }
  folderChoiceEnabled();
  folderNameEditTextEnabled();
}

void Panel::authenticationMatrixProc(jc::Control&) {
  if (!authenticationMatrix) return;
  loginNameStaticTextEnabled();
  loginNameEditTextEnabled();
  loginNameButtonEnabled();
  passwordStaticTextEnabled();
  passwordEditTextEnabled();
  passwordButtonEnabled();
  userNumberEditTextEnabled();
  userNumberButtonEnabled();
  if (authenticationMatrix->selectedRow() != jc::kLoginRow) {
    emptyUnlessHeld(loginNameEditText, loginNameButton);
    emptyUnlessHeld(passwordEditText, passwordButton);
    if (userNumberEditText->isSelectable()) focus(*userNumberEditText);
  } else {
    emptyUnlessHeld(userNumberEditText, userNumberButton);
    // The rules left the focus on the user-number field's outcome; the person now types
    // the login name, or the password when the login name is held.
    if (loginNameEditText->isSelectable())
      focus(*loginNameEditText);
    else if (passwordEditText->isSelectable())
      focus(*passwordEditText);
  }
}

void Panel::loginNameButtonProc(jc::Control&) {
  if (!loginNameButton) return;
  if (loginNameButton->state() == 1) {
    if (!loginNameLockFlag) {
      // Hold the real name aside and show one bullet per UTF-16 unit in its place.
      loginNameStringRef = loginNameEditText->stringValue();
      const std::size_t units = jc::utf16Length(*loginNameStringRef);
      if (units > 0) {
        std::string mask;
        for (std::size_t i = 0; i < units; ++i) mask += "\u2022";
        loginNameEditText->setStringValue(std::move(mask));
      }
      loginNameLockFlag = true;
    }
  } else {
    // Releasing the hold forgets the name: the bullets cannot be turned back into it
    // without showing a held credential, so it must be typed again.
    loginNameEditText->setStringValue("");
    loginNameStringRef.reset();
    loginNameLockFlag = false;
  }
  loginNameEditTextEnabled();
}

// The other hold buttons only lock or unlock their field; the text stays as it is.
void Panel::suspendKeyButtonProc(jc::Control&) {
  if (suspendKeyButton) suspendKeyEditTextEnabled();
}
void Panel::folderPasswordButtonProc(jc::Control&) {
  if (folderPasswordButton) folderPasswordEditTextEnabled();
}
void Panel::folderNameButtonProc(jc::Control&) {
  if (folderNameButton) folderNameEditTextEnabled();
}
void Panel::passwordButtonProc(jc::Control&) {
  if (passwordButton) passwordEditTextEnabled();
}
void Panel::userNumberButtonProc(jc::Control&) {
  if (userNumberButton) userNumberEditTextEnabled();
}
void Panel::userNameButtonProc(jc::Control&) {
  if (userNameButton) userNameEditTextEnabled();
}
void Panel::jobNameButtonProc(jc::Control&) {
  if (jobNameButton) jobNameEditTextEnabled();
}
void Panel::accountNumberButtonProc(jc::Control&) {
  if (accountNumberButton) accountNumberEditTextEnabled();
}
