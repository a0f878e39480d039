// Panel construction: makes the loaded controls ready, once per panel. Captions are
// translated, input filters attached, hold buttons given their padlocks, the folder
// pop-up built and the printer's address shown. No setting and no enable rule is applied
// here: restoring the values does that.
#include <memory>

#include "plugin/icons.h"
#include "plugin/panel.h"
#include "trace/trace.h"
#include "ui/filters.h"

namespace {

using Panel = VoreliaPrintPdeTz630eJC;

// Translates the caption of a box, button or cell (its title) in place. Absent controls
// answer an empty caption and ignore the new one, so no presence test is needed.
template <class T>
void translateTitle(const Panel& panel, const jc::Outlet<T>& control) {
  if (auto caption = panel.localizedStringValue(&*control)) control->setTitle(*caption);
}

// Translates a label's text in place.
void translateLabel(const Panel& panel, const jc::Outlet<jc::TextField>& label) {
  if (auto caption = panel.localizedStringValue(&*label)) label->setStringValue(*caption);
}

// The number formatters' pattern; the filters keep it but edit by their own rules.
constexpr const char* kNumberFormat = "##0";

template <class Filter>
void attachCountingFilter(const jc::Outlet<jc::TextField>& field, std::int64_t count) {
  auto filter = std::make_shared<Filter>();
  filter->setFormat(kNumberFormat);
  filter->SetmaxCharactersCount(count);
  field->setFormatter(std::move(filter));  // the field's reference is the only one left
}

void givePadlocks(const jc::Outlet<jc::Button>& holdButton) {
  holdButton->setImage(jc::systemIcon(jc::kUnlockedIcon));
  holdButton->setAlternateImage(jc::systemIcon(jc::kLockedIcon));
}

// The password may be longer than the numeric codes, but no longer than the printer keeps.
constexpr std::int64_t kPasswordCount = 31;

}  // namespace

void Panel::initializeUI() {
  _PDEProlog(this, "--initializeUI:");
  if (!hasInited) {
    // Tabs: at most the first three are the panel's own.
    for (int index = 0; index < 3; ++index) {
      if (jc::TabViewItem* tab = tabView->tabViewItemAtIndex(index)) {
        if (auto label = localizedStringValue(tab->label())) tab->setLabel(*label);
      }
    }
    tabView->selectFirstTabViewItem();

    // Retention.
    translateTitle(*this, retentionCheckBox);
    translateTitle(*this, suspendBox);
    translateTitle(*this, holdOnlyRadioButton);
    translateTitle(*this, holdAfterRadioButton);
    translateTitle(*this, samplePrintRadioButton);
    translateLabel(*this, suspendKeyStaticText);
    attachCountingFilter<MyIntegerNumberFilter>(suspendKeyEditText, getPasswordMax());
    givePadlocks(suspendKeyButton);

    // Document filing.
    translateTitle(*this, filingBox);
    translateLabel(*this, folderSelectionStaticText);
    makeFolderPopup();
    translateTitle(*this, quickFileRadioButton);
    translateTitle(*this, mainFolderRadioButton);
    translateTitle(*this, customFolderRadioButton);
    translateLabel(*this, folderPasswordStaticText);
    attachCountingFilter<MyIntegerNumberFilter>(folderPasswordEditText, getPasswordMax());
    givePadlocks(folderPasswordButton);

    // User authentication.
    translateTitle(*this, authenticationRadioButton);
    translateLabel(*this, loginNameStaticText);
    auto loginFilter = std::make_shared<LoginnameInputFilter>();
    loginFilter->setCallback(this);
    loginNameEditText->setFormatter(std::move(loginFilter));
    givePadlocks(loginNameButton);
    translateLabel(*this, passwordStaticText);
    attachCountingFilter<MyRomanFilter>(passwordEditText, kPasswordCount);
    givePadlocks(passwordButton);
    translateTitle(*this, userNumberRadioButton);
    attachCountingFilter<MyIntegerNumberFilter>(userNumberEditText, getPasswordMax());
    givePadlocks(userNumberButton);

    // Account number.
    translateLabel(*this, accountNumberStaticText);
    attachCountingFilter<MyIntegerNumberFilter>(accountNumberEditText, getPasswordMax());
    givePadlocks(accountNumberButton);

    // Job identification.
    translateTitle(*this, jobIDBox);
    translateLabel(*this, userNameStaticText);
    givePadlocks(userNameButton);
    translateLabel(*this, jobNameStaticText);
    givePadlocks(jobNameButton);

    // Printer address.
    translateLabel(*this, printersAddressStaticText);
    if (mfpURL) printersAddressEditText->setStringValue(*mfpURL);
    translateTitle(*this, getFolderNameButton);

    givePadlocks(folderNameButton);

    chasingArrow->setHidden(true);
    // Never true (isTiger answers NO): kept for a system that cannot hold jobs without a disk.
    if (isTiger() && !tigerHDDFlag) retentionCheckBox->setEnabled(false);
    hasInited = true;
  }
  _PDEEpilog(this, "--initializeUI:=void");
}
