// The panel as a layout's owner: its outlets and actions, looked up by name.
#include <array>
#include <utility>

#include "plugin/panel.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;
using ActionMethod = void (Panel::*)(jc::Control&);

// Every action a layout may connect, by method name.
constexpr std::array<std::pair<std::string_view, ActionMethod>, 25> kActions = {{
    {"tabProc", &Panel::tabProc},
    {"printersAddressButtonProc", &Panel::printersAddressButtonProc},
    {"retentionCBoxProc", &Panel::retentionCBoxProc},
    {"suspendKeyMatrixProc", &Panel::suspendKeyMatrixProc},
    {"suspendKeyETextProc", &Panel::suspendKeyETextProc},
    {"suspendKeyButtonProc", &Panel::suspendKeyButtonProc},
    {"folderSelectionPopUpButtonProc", &Panel::folderSelectionPopUpButtonProc},
    {"folderPasswordETextProc", &Panel::folderPasswordETextProc},
    {"folderPasswordButtonProc", &Panel::folderPasswordButtonProc},
    {"folderNameButtonProc", &Panel::folderNameButtonProc},
    {"folderSelectionMatrixProc", &Panel::folderSelectionMatrixProc},
    {"authenticationMatrixProc", &Panel::authenticationMatrixProc},
    {"loginNameETextProc", &Panel::loginNameETextProc},
    {"loginNameButtonProc", &Panel::loginNameButtonProc},
    {"passwordETextProc", &Panel::passwordETextProc},
    {"passwordButtonProc", &Panel::passwordButtonProc},
    {"userNumberETextProc", &Panel::userNumberETextProc},
    {"userNumberButtonProc", &Panel::userNumberButtonProc},
    {"userNameETextProc", &Panel::userNameETextProc},
    {"userNameButtonProc", &Panel::userNameButtonProc},
    {"jobNameETextProc", &Panel::jobNameETextProc},
    {"jobNameButtonProc", &Panel::jobNameButtonProc},
    {"accountNumberETextProc", &Panel::accountNumberETextProc},
    {"accountNumberButtonProc", &Panel::accountNumberButtonProc},
    {"getFolderNameButtonProc", &Panel::getFolderNameButtonProc},
}};

}  // namespace

bool VoreliaPrintPdeTz630eJC::connectOutlet(std::string_view name,
                                            const std::shared_ptr<jc::Control>& control) {
  if (name == "panelView") {
    if (!control) {
      panelView_.reset();
      return true;
    }
    auto view = std::dynamic_pointer_cast<jc::View>(control);
    if (!view) return false;
    panelView_ = std::move(view);
    return true;
  }
  // The control outlets, in declaration order.
  // `field` names a member, not a value, so it takes no parentheses.
#define JC_OUTLET(field) \
  if (name == #field) return field.connect(control);  // NOLINT(bugprone-macro-parentheses)
  JC_OUTLET(tabView)
  JC_OUTLET(retentionCheckBox)
  JC_OUTLET(suspendBox)
  JC_OUTLET(suspendMatrix)
  JC_OUTLET(holdOnlyRadioButton)
  JC_OUTLET(holdAfterRadioButton)
  JC_OUTLET(samplePrintRadioButton)
  JC_OUTLET(suspendKeyStaticText)
  JC_OUTLET(suspendKeyEditText)
  JC_OUTLET(suspendKeyButton)
  JC_OUTLET(filingBox)
  JC_OUTLET(folderSelectionStaticText)
  JC_OUTLET(folderSelectionPopup)
  JC_OUTLET(folderPasswordStaticText)
  JC_OUTLET(folderPasswordEditText)
  JC_OUTLET(folderPasswordButton)
  JC_OUTLET(folderSelectionMatrix)
  JC_OUTLET(quickFileRadioButton)
  JC_OUTLET(mainFolderRadioButton)
  JC_OUTLET(customFolderRadioButton)
  JC_OUTLET(folderNameEditText)
  JC_OUTLET(folderNameButton)
  JC_OUTLET(authenticationMatrix)
  JC_OUTLET(authenticationRadioButton)
  JC_OUTLET(loginNameStaticText)
  JC_OUTLET(loginNameEditText)
  JC_OUTLET(loginNameButton)
  JC_OUTLET(passwordStaticText)
  JC_OUTLET(passwordEditText)
  JC_OUTLET(passwordButton)
  JC_OUTLET(userNumberRadioButton)
  JC_OUTLET(userNumberEditText)
  JC_OUTLET(userNumberButton)
  JC_OUTLET(accountNumberStaticText)
  JC_OUTLET(accountNumberEditText)
  JC_OUTLET(accountNumberButton)
  JC_OUTLET(jobIDBox)
  JC_OUTLET(userNameStaticText)
  JC_OUTLET(userNameEditText)
  JC_OUTLET(userNameButton)
  JC_OUTLET(jobNameStaticText)
  JC_OUTLET(jobNameEditText)
  JC_OUTLET(jobNameButton)
  JC_OUTLET(printersAddressStaticText)
  JC_OUTLET(printersAddressEditText)
  JC_OUTLET(chasingArrow)
  JC_OUTLET(getFolderNameButton)
#undef JC_OUTLET
  return false;
}

jc::Control::Action VoreliaPrintPdeTz630eJC::actionNamed(std::string_view name) {
  for (const auto& [actionName, method] : kActions) {
    if (actionName == name) {
      // A host may keep a control after letting go of a shared panel: its action then
      // reaches no one instead of a panel that is gone.
      std::weak_ptr<VoreliaPrintPdeTz630eJC> self = weak_from_this();
      const bool shared = !self.expired();
      return [this, m = method, self, shared](jc::Control& sender) {
        if (shared && self.expired()) return;
        BusyScope busy(*this);
        (this->*m)(sender);
      };
    }
  }
  return {};
}
