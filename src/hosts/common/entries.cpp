// The entries table of `jobcontrol` and the parsing of ENTRY=VALUE words.
#include "hosts/common/entries.h"

#include <algorithm>

#include "hosts/common/messages.h"
#include "hosts/common/near_name.h"
#include "settings/held_entries.h"

namespace jc {

namespace {

using settings::HeldEntry;

// A held entry's text field, caption and hold button, by the names the layout gives them.
Entry held(HeldEntry which) {
  const settings::HeldEntryData& row = settings::heldEntryData(which);
  // The pass codes and the password are never shown, and `=-` asks for them.
  const bool secret = which == HeldEntry::PassCode || which == HeldEntry::Password ||
                      which == HeldEntry::FolderPassCode;
  return {row.name, EntryKind::Text, row.fieldOutlet, row.captionOutlet, row.holdButtonOutlet,
          {},       secret};
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
      {"lock", EntryKind::Hold, "", "", "", {}},
      {"unlock", EntryKind::Hold, "", "", "", {}},
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

bool Assignment::locks() const {
  return entry->name == "lock" || entry->name == "hold";
}

Result<Assignment> parseAssignment(const std::string& word) {
  auto eq = word.find('=');
  std::string name = word.substr(0, eq);
  std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
  const Entry* entry = findEntry(name);
  // Messages quote the word as typed, but never a secret's value.
  const std::string shown = entry && entry->secret ? name + "=" + tr("(hidden)") : word;
  auto fail = [&](const std::string& why) { return Refusal{"\"" + shown + "\": " + why}; };
  if (eq == std::string::npos) return fail(tr("not of the form ENTRY=VALUE"));
  if (!entry) {
    std::vector<std::string_view> names;
    for (const Entry& e : table()) names.push_back(e.name);
    std::string near = nearestName(name, names);
    return Refusal{subst(tr("unknown entry \"%1\""), {name}) +
                   (near.empty() ? "" : subst(tr(" (did you mean \"%1\"?)"), {near + "="})) +
                   tr("; `jobcontrol help set` lists the entries")};
  }

  Assignment assignment{shown, entry, value};
  switch (entry->kind) {
    case EntryKind::Text:
      break;
    case EntryKind::Button:
      return fail(tr("a button, pressed by `jobcontrol folders`"));
    case EntryKind::Hold: {
      const Entry* held = findEntry(value);
      if (!held || held->holdButton.empty()) {
        std::string names;
        std::vector<std::string_view> candidates;
        for (const Entry& e : table())
          if (!e.holdButton.empty()) {
            names += (names.empty() ? "" : ", ") + std::string(e.name);
            candidates.push_back(e.name);
          }
        std::string near = nearestName(value, candidates);
        return fail(
            subst(tr("no padlock for \"%1\" (one of %2)"), {value, names}) +
            (near.empty() ? "" : subst(tr(" (did you mean \"%1\"?)"), {name + "=" + near})));
      }
      assignment.held = held;
      break;
    }
    case EntryKind::PopUp:
      // A word other than the fixed ones names a folder of the printer's list.
      if (value.empty())
        return fail(subst(tr("a folder name or one of %1"), {joined(entry->words)}));
      break;
    case EntryKind::Retention:
    case EntryKind::Matrix:
      if (std::find(entry->words.begin(), entry->words.end(), value) == entry->words.end()) {
        std::string near = nearestName(value, entry->words);
        return fail(
            subst(tr("one of %1"), {joined(entry->words)}) +
            (near.empty() ? "" : subst(tr(" (did you mean \"%1\"?)"), {name + "=" + near})));
      }
      break;
  }
  return assignment;
}

}  // namespace jc
