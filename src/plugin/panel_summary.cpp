// The panel's summary for the host's summary view, read from the controls as they stand.
#include <algorithm>
#include <optional>
#include <string>

#include "plugin/panel.h"
#include "plugin/trace.h"

namespace {

// Removes every ':' at the beginning and at the end of a label; inner text stays.
std::string cleanLabel(const std::string& label) {
  auto first = label.find_first_not_of(':');
  if (first == std::string::npos) return "";
  auto last = label.find_last_not_of(':');
  return label.substr(first, last - first + 1);
}

// A dictionary keeps one value per label: a later entry replaces an earlier one in place.
// A label that is missing (a control without a title, or nothing left after cleaning)
// or a value that is missing (no selected item or cell) makes no entry: the host would
// show a line with nothing to say.
void put(jc::SummaryInfo& summary, std::string label, std::optional<std::string> value) {
  if (label.empty() || !value) return;
  auto it = std::find_if(summary.begin(), summary.end(),
                         [&](const auto& entry) { return entry.first == label; });
  if (it != summary.end())
    it->second = std::move(*value);
  else
    summary.emplace_back(std::move(label), std::move(*value));
}

// The title of the pop-up's selected item; nullopt when no item is selected.
std::optional<std::string> selectedTitle(const jc::PopUpButton& popUp) {
  const jc::MenuItem* item = popUp.itemAtIndex(popUp.indexOfSelectedItem());
  return item ? std::optional<std::string>(item->title) : std::nullopt;
}

// The title of the matrix's selected cell; nullopt when no cell is selected.
std::optional<std::string> selectedTitle(const jc::Matrix& matrix) {
  const jc::ButtonCell* cell = matrix.selectedCell();
  return cell ? std::optional<std::string>(cell->title()) : std::nullopt;
}

}  // namespace

jc::SummaryInfo VoreliaPrintPdeTz630eJC::summaryInfo() {
  _PDEProlog(this, "summaryInfo:");
  jc::SummaryInfo summary;
  if (hasInited) {
    auto localized = [&](const char* key) {
      return pdeBundle ? pdeBundle->localizedString(key) : std::string(key);
    };
    if (retentionCheckBox) {
      if (retentionCheckBox->state() != 0) {
        put(summary, retentionCheckBox->title(), localized("On"));
        if (folderSelectionPopup)
          put(summary, cleanLabel(folderSelectionStaticText->stringValue()),
              selectedTitle(*folderSelectionPopup));
        if (suspendMatrix) put(summary, suspendBox->title(), selectedTitle(*suspendMatrix));
      } else {
        put(summary, retentionCheckBox->title(), localized("Off"));
      }
    }
    if (userNameStaticText && userNameEditText)
      put(summary, cleanLabel(userNameStaticText->stringValue()), userNameEditText->stringValue());
    if (jobNameStaticText && jobNameEditText)
      put(summary, cleanLabel(jobNameStaticText->stringValue()), jobNameEditText->stringValue());
  }
  _PDEEpilog(this, "summaryInfo:");
  return summary;
}
