// The nine held entries of the panel, one row each: everything the writer, the reader, the
// preference store, the enable rules and the hosts need to know about one of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/panel.h"
#include "settings/keys.h"

namespace jc {

/// The entries whose values a hold button keeps from one dialog to the next.
enum class HeldEntry {
  PassCode,
  LoginName,
  Password,
  UserName,
  JobName,
  FolderPassCode,
  UserNumber,
  AccountNumber,
  FolderName
};

/// The writer's limits for an entry's text: the characters taken and the bytes kept.
struct EntryLimit {
  std::size_t characters;
  std::size_t bytes;
};

/// One held entry. The member pointers name the panel's own fields; the outlet and action
/// names are the same fields as a layout (and a host driving one) knows them.
struct HeldEntryRow {
  using Panel = VoreliaPrintPdeTz630eJC;

  HeldEntry entry;
  std::uint32_t bit;      ///< its bit in the hold-button mask
  std::string_view name;  ///< the entry's word, as the command line names it
  jc::Outlet<jc::TextField> Panel::*field;
  jc::Outlet<jc::Button> Panel::*holdButton;
  std::optional<std::string> Panel::*remembered;  ///< the preference slot it is loaded into
  std::string_view fieldOutlet;
  std::string_view captionOutlet;  ///< the control whose title or text captions the field
  std::string_view holdButtonOutlet;
  std::string_view action;     ///< the hold button's action, run after reading back
  const char* preferenceName;  ///< its key in the preferences' "Job Control" dictionary
  const char* key;             ///< its print-settings key (a prefix for the login name)
  const char* key2;            ///< its second print-settings key (likewise)
  EntryLimit limit;            ///< what the writer takes of its text
  std::size_t cipherDigits;    ///< hex digits of its stored-key cipher; 0: none in hex
  bool shortCode;              ///< read back only when short enough (`kShortCodeBytes`)
};

/// Codes of short-code entries longer than this many bytes are dropped on reading back,
/// unless the capability answer for pass-code length is 8.
inline constexpr std::size_t kShortCodeBytes = 5;

namespace held_entry_table {

using P = VoreliaPrintPdeTz630eJC;
namespace k = jc::settings;

// clang-format off
inline constexpr std::array<HeldEntryRow, 9> kRows = {{
    {.entry = HeldEntry::PassCode, .bit = 1, .name = "pass-code",
     .field = &P::suspendKeyEditText, .holdButton = &P::suspendKeyButton, .remembered = &P::prefSuspendKeyStringRef,
     .fieldOutlet = "suspendKeyEditText", .captionOutlet = "suspendKeyStaticText",
     .holdButtonOutlet = "suspendKeyButton", .action = "suspendKeyButtonProc", .preferenceName = "pass code",
     .key = k::kJobSuspendKeyKey, .key2 = k::kJobSuspend2KeyKey, .limit = {8, 8}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::LoginName, .bit = 2, .name = "login-name",
     .field = &P::loginNameEditText, .holdButton = &P::loginNameButton, .remembered = &P::prefLoginNameStringRef,
     .fieldOutlet = "loginNameEditText", .captionOutlet = "loginNameStaticText",
     .holdButtonOutlet = "loginNameButton", .action = "loginNameButtonProc", .preferenceName = "user login name",
     .key = k::kLoginName1Prefix, .key2 = k::kLoginName0Prefix, .limit = {255, 255}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::Password, .bit = 4, .name = "password",
     .field = &P::passwordEditText, .holdButton = &P::passwordButton, .remembered = &P::prefPasswordStringRef,
     .fieldOutlet = "passwordEditText", .captionOutlet = "passwordStaticText",
     .holdButtonOutlet = "passwordButton", .action = "passwordButtonProc", .preferenceName = "user password",
     .key = k::kPasswordKey, .key2 = k::kPassword2Key, .limit = {32, 32}, .cipherDigits = 64, .shortCode = false},
    {.entry = HeldEntry::UserName, .bit = 8, .name = "user-name",
     .field = &P::userNameEditText, .holdButton = &P::userNameButton, .remembered = &P::prefUserNameStringRef,
     .fieldOutlet = "userNameEditText", .captionOutlet = "userNameStaticText",
     .holdButtonOutlet = "userNameButton", .action = "userNameButtonProc", .preferenceName = "user name",
     .key = k::kUserNameKey, .key2 = k::kUserName2Key, .limit = {32, 32}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::JobName, .bit = 16, .name = "job-name",
     .field = &P::jobNameEditText, .holdButton = &P::jobNameButton, .remembered = &P::prefJobNameStringRef,
     .fieldOutlet = "jobNameEditText", .captionOutlet = "jobNameStaticText",
     .holdButtonOutlet = "jobNameButton", .action = "jobNameButtonProc", .preferenceName = "job name",
     .key = k::kJobNameKey, .key2 = k::kJobName2Key, .limit = {32, 32}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::FolderPassCode, .bit = 32, .name = "folder-pass-code",
     .field = &P::folderPasswordEditText, .holdButton = &P::folderPasswordButton, .remembered = &P::prefFolderPassStringRef,
     .fieldOutlet = "folderPasswordEditText", .captionOutlet = "folderPasswordStaticText",
     .holdButtonOutlet = "folderPasswordButton", .action = "folderPasswordButtonProc", .preferenceName = "folder pass code",
     .key = k::kFolderPasswordKey, .key2 = k::kFolderPassword2Key, .limit = {8, 8}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::UserNumber, .bit = 64, .name = "user-number",
     .field = &P::userNumberEditText, .holdButton = &P::userNumberButton, .remembered = &P::prefUserNumberStringRef,
     .fieldOutlet = "userNumberEditText", .captionOutlet = "userNumberRadioButton",
     .holdButtonOutlet = "userNumberButton", .action = "userNumberButtonProc", .preferenceName = "user number",
     .key = k::kUserNumberKey, .key2 = k::kUserNumber2Key, .limit = {8, 8}, .cipherDigits = 32, .shortCode = false},
    {.entry = HeldEntry::AccountNumber, .bit = 128, .name = "account-number",
     .field = &P::accountNumberEditText, .holdButton = &P::accountNumberButton, .remembered = &P::prefAccountNumberStringRef,
     .fieldOutlet = "accountNumberEditText", .captionOutlet = "accountNumberStaticText",
     .holdButtonOutlet = "accountNumberButton", .action = "accountNumberButtonProc", .preferenceName = "account number",
     .key = k::kAccountNumberKey, .key2 = k::kAccountNumber2Key, .limit = {8, 5}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::FolderName, .bit = 256, .name = "folder-name",
     .field = &P::folderNameEditText, .holdButton = &P::folderNameButton, .remembered = &P::prefFolderNameStringRef,
     .fieldOutlet = "folderNameEditText", .captionOutlet = "customFolderRadioButton",
     .holdButtonOutlet = "folderNameButton", .action = "folderNameButtonProc", .preferenceName = "folder name",
     .key = k::kFolderPathKey, .key2 = k::kFolderPath2Key, .limit = {255, 255}, .cipherDigits = 0, .shortCode = false},
}};
// clang-format on

// `heldEntry` finds a row by its place, so the rows must follow the enumeration.
static_assert([] {
  for (std::size_t i = 0; i < kRows.size(); ++i)
    if (kRows[i].entry != static_cast<HeldEntry>(i)) return false;
  return true;
}());

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
