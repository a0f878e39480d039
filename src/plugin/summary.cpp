// The panel's summary for the host's summary view, read from the controls as they stand.
#include <algorithm>

#include "plugin/panel.h"
#include "plugin/trace.h"

namespace {

// Removes every ':' at the beginning and at the end of a label; inner text stays.
std::string cleanLabel(std::string label) {
  auto first = label.find_first_not_of(':');
  if (first == std::string::npos) return "";
  auto last = label.find_last_not_of(':');
  return label.substr(first, last - first + 1);
}

// A dictionary keeps one value per label: a later entry replaces an earlier one in place.
void put(jc::SummaryInfo& summary, std::string label, std::string value) {
  auto it = std::find_if(summary.begin(), summary.end(),
                         [&](const auto& entry) { return entry.first == label; });
  if (it != summary.end())
    it->second = std::move(value);
  else
    summary.emplace_back(std::move(label), std::move(value));
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
        if (folderSelectionPopup && folderSelectionPopup->itemAtIndex(
                                        folderSelectionPopup->indexOfSelectedItem()))
          put(summary, cleanLabel(folderSelectionStaticText->stringValue()),
              folderSelectionPopup->titleOfSelectedItem());
        if (suspendMatrix && suspendMatrix->selectedCell())
          put(summary, suspendBox->title(), suspendMatrix->selectedCell()->title());
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
