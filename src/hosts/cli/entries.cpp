// The entries table of `jobcontrol` and the parsing of ENTRY=VALUE words.
#include "hosts/cli/entries.h"

#include <algorithm>

#include "plugin/panel_held_entries.h"

namespace jc::cli {

namespace {

// A held entry's text field, caption and hold button, by the names the layout gives them.
Entry held(HeldEntry which) {
  const HeldEntryRow& row = heldEntry(which);
  return {row.name, EntryKind::Text, row.fieldOutlet, row.captionOutlet, row.holdButtonOutlet, {}};
}

// The panel's order: Job Handling (retention, filing), User Authentication, Job ID.
const std::vector<Entry>& table() {
  static const std::vector<Entry> entries = {
      {"retention",
       EntryKind::Retention,
       "retentionCheckBox",
       "",
       "",
       {"off", "hold-only", "hold-after", "sample"}},
      held(HeldEntry::PassCode),
      {"filing",
       EntryKind::PopUp,
       "folderSelectionPopup",
       "folderSelectionStaticText",
       "",
       {"quick", "main"}},
      {"filing-kind",
       EntryKind::Matrix,
       "folderSelectionMatrix",
       "filingBox",
       "",
       {"quick", "main", "custom"}},
      held(HeldEntry::FolderName),
      held(HeldEntry::FolderPassCode),
      {"address", EntryKind::Text, "printersAddressEditText", "printersAddressStaticText", "", {}},
      {"folders", EntryKind::Button, "getFolderNameButton", "", "", {}},
      {"auth", EntryKind::Matrix, "authenticationMatrix", "", "", {"login", "number"}},
      held(HeldEntry::LoginName),
      held(HeldEntry::Password),
      held(HeldEntry::UserNumber),
      held(HeldEntry::AccountNumber),
      held(HeldEntry::UserName),
      held(HeldEntry::JobName),
      {"hold", EntryKind::Hold, "", "", "", {}},
      {"unhold", EntryKind::Hold, "", "", "", {}},
  };
  return entries;
}

std::string joined(const std::vector<std::string_view>& words) {
  std::string text;
  for (auto w : words) text += (text.empty() ? "" : "|") + std::string(w);
  return text;
}

}  // namespace

std::span<const Entry> entryTable() {
  return table();
}

const Entry* findEntry(std::string_view name) {
  for (const Entry& entry : table())
    if (entry.name == name) return &entry;
  return nullptr;
}

Result<Assignment> parseAssignment(const std::string& word) {
  auto fail = [&](const std::string& why) { return Refusal{"\"" + word + "\": " + why}; };
  auto eq = word.find('=');
  if (eq == std::string::npos) return fail("not of the form ENTRY=VALUE");
  std::string name = word.substr(0, eq);
  std::string value = word.substr(eq + 1);
  const Entry* entry = findEntry(name);
  if (!entry) return fail("unknown entry \"" + name + "\" (see `jobcontrol set --help`)");

  Assignment assignment{word, entry, value};
  switch (entry->kind) {
    case EntryKind::Text:
      break;
    case EntryKind::Button:
      return fail("a button, pressed by `jobcontrol folders`");
    case EntryKind::Hold: {
      const Entry* held = findEntry(value);
      if (!held || held->holdButton.empty()) {
        std::string names;
        for (const Entry& e : table())
          if (!e.holdButton.empty()) names += (names.empty() ? "" : ", ") + std::string(e.name);
        return fail("no hold button for \"" + value + "\" (one of " + names + ")");
      }
      assignment.held = held;
      break;
    }
    case EntryKind::PopUp:
      // A word other than the fixed ones names a folder of the printer's list.
      if (value.empty()) return fail("a folder name or one of " + joined(entry->words));
      break;
    case EntryKind::Retention:
    case EntryKind::Matrix:
      if (std::find(entry->words.begin(), entry->words.end(), value) == entry->words.end())
        return fail("one of " + joined(entry->words));
      break;
  }
  return assignment;
}

}  // namespace jc::cli
