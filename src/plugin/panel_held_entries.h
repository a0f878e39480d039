// The nine held entries of the panel, one row each: the settings' plain row of the entry
// (words, keys, bits, limits) joined to the panel's own fields for it. Everything the
// writer, the reader, the preference store and the enable rules need to know about one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "plugin/panel.h"
#include "settings/held_entries.h"

namespace jc {

using settings::EntryLimit;
using settings::HeldEntry;
using settings::kShortCodeBytes;

/// The panel's fields that belong to one held entry.
struct HeldEntryFields {
  using Panel = VoreliaPrintPdeTz630eJC;

  jc::Outlet<jc::TextField> Panel::*field;
  jc::Outlet<jc::Button> Panel::*holdButton;
  std::optional<std::string> Panel::*remembered;  ///< the preference slot it is loaded into
};

/// One held entry: its plain row and the member pointers naming the panel's own fields.
struct HeldEntryRow : settings::HeldEntryData, HeldEntryFields {};

namespace held_entry_table {

using P = VoreliaPrintPdeTz630eJC;

// clang-format off
// In the order of the settings' rows (the enumeration's order).
inline constexpr std::array<HeldEntryFields, 9> kFields = {{
    {&P::suspendKeyEditText, &P::suspendKeyButton, &P::prefSuspendKeyStringRef},
    {&P::loginNameEditText, &P::loginNameButton, &P::prefLoginNameStringRef},
    {&P::passwordEditText, &P::passwordButton, &P::prefPasswordStringRef},
    {&P::userNameEditText, &P::userNameButton, &P::prefUserNameStringRef},
    {&P::jobNameEditText, &P::jobNameButton, &P::prefJobNameStringRef},
    {&P::folderPasswordEditText, &P::folderPasswordButton, &P::prefFolderPassStringRef},
    {&P::userNumberEditText, &P::userNumberButton, &P::prefUserNumberStringRef},
    {&P::accountNumberEditText, &P::accountNumberButton, &P::prefAccountNumberStringRef},
    {&P::folderNameEditText, &P::folderNameButton, &P::prefFolderNameStringRef},
}};
// clang-format on

template <std::size_t... I>
constexpr std::array<HeldEntryRow, sizeof...(I)> joined(std::index_sequence<I...>) {
  return {{HeldEntryRow{settings::kHeldEntryData[I], kFields[I]}...}};
}

inline constexpr std::array<HeldEntryRow, 9> kRows =
    joined(std::make_index_sequence<settings::kHeldEntryData.size()>());

}  // namespace held_entry_table

/// The nine held entries in bit order.
inline constexpr const std::array<HeldEntryRow, 9>& kHeldEntries = held_entry_table::kRows;

/// The row of a held entry.
constexpr const HeldEntryRow& heldEntry(HeldEntry entry) {
  return kHeldEntries[static_cast<std::size_t>(entry)];
}

/// The bit of a held entry in the hold-button mask.
constexpr std::uint32_t holdBit(HeldEntry entry) {
  return heldEntry(entry).bit;
}

/// Every bit the nine held entries use in the hold-button mask.
inline constexpr std::uint32_t kAllHeldBits = [] {
  std::uint32_t bits = 0;
  for (const HeldEntryRow& row : kHeldEntries) bits |= row.bit;
  return bits;
}();

/// The hold-button mask of the panel's buttons that are on; absent buttons count as off.
std::uint32_t holdButtonMask(const VoreliaPrintPdeTz630eJC& panel);

}  // namespace jc
