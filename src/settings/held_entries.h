// The nine held entries as plain data, one row each: the words, keys, bits and limits that
// the panel and the hosts share. The panel's own fields for each row are joined to it in
// src/plugin/panel_held_entries.h; a host needs nothing of the panel to read this table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/keys.h"

namespace jc::settings {

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

/// One held entry. The outlet and action names are the panel's fields as a layout (and a
/// host driving one) knows them.
struct HeldEntryData {
  HeldEntry entry;
  std::uint32_t bit;      ///< its bit in the hold-button mask
  std::string_view name;  ///< the entry's word, as the command line names it
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

// clang-format off
/// The nine held entries in bit order.
inline constexpr std::array<HeldEntryData, 9> kHeldEntryData = {{
    {.entry = HeldEntry::PassCode, .bit = 1, .name = "pass-code",
     .fieldOutlet = "suspendKeyEditText", .captionOutlet = "suspendKeyStaticText",
     .holdButtonOutlet = "suspendKeyButton", .action = "suspendKeyButtonProc", .preferenceName = "pass code",
     .key = kJobSuspendKeyKey, .key2 = kJobSuspend2KeyKey, .limit = {8, 8}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::LoginName, .bit = 2, .name = "login-name",
     .fieldOutlet = "loginNameEditText", .captionOutlet = "loginNameStaticText",
     .holdButtonOutlet = "loginNameButton", .action = "loginNameButtonProc", .preferenceName = "user login name",
     .key = kLoginName1Prefix, .key2 = kLoginName0Prefix, .limit = {255, 255}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::Password, .bit = 4, .name = "password",
     .fieldOutlet = "passwordEditText", .captionOutlet = "passwordStaticText",
     .holdButtonOutlet = "passwordButton", .action = "passwordButtonProc", .preferenceName = "user password",
     .key = kPasswordKey, .key2 = kPassword2Key, .limit = {32, 32}, .cipherDigits = 64, .shortCode = false},
    {.entry = HeldEntry::UserName, .bit = 8, .name = "user-name",
     .fieldOutlet = "userNameEditText", .captionOutlet = "userNameStaticText",
     .holdButtonOutlet = "userNameButton", .action = "userNameButtonProc", .preferenceName = "user name",
     .key = kUserNameKey, .key2 = kUserName2Key, .limit = {32, 32}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::JobName, .bit = 16, .name = "job-name",
     .fieldOutlet = "jobNameEditText", .captionOutlet = "jobNameStaticText",
     .holdButtonOutlet = "jobNameButton", .action = "jobNameButtonProc", .preferenceName = "job name",
     .key = kJobNameKey, .key2 = kJobName2Key, .limit = {32, 32}, .cipherDigits = 0, .shortCode = false},
    {.entry = HeldEntry::FolderPassCode, .bit = 32, .name = "folder-pass-code",
     .fieldOutlet = "folderPasswordEditText", .captionOutlet = "folderPasswordStaticText",
     .holdButtonOutlet = "folderPasswordButton", .action = "folderPasswordButtonProc", .preferenceName = "folder pass code",
     .key = kFolderPasswordKey, .key2 = kFolderPassword2Key, .limit = {8, 8}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::UserNumber, .bit = 64, .name = "user-number",
     .fieldOutlet = "userNumberEditText", .captionOutlet = "userNumberRadioButton",
     .holdButtonOutlet = "userNumberButton", .action = "userNumberButtonProc", .preferenceName = "user number",
     .key = kUserNumberKey, .key2 = kUserNumber2Key, .limit = {8, 8}, .cipherDigits = 32, .shortCode = false},
    {.entry = HeldEntry::AccountNumber, .bit = 128, .name = "account-number",
     .fieldOutlet = "accountNumberEditText", .captionOutlet = "accountNumberStaticText",
     .holdButtonOutlet = "accountNumberButton", .action = "accountNumberButtonProc", .preferenceName = "account number",
     .key = kAccountNumberKey, .key2 = kAccountNumber2Key, .limit = {8, 5}, .cipherDigits = 32, .shortCode = true},
    {.entry = HeldEntry::FolderName, .bit = 256, .name = "folder-name",
     .fieldOutlet = "folderNameEditText", .captionOutlet = "customFolderRadioButton",
     .holdButtonOutlet = "folderNameButton", .action = "folderNameButtonProc", .preferenceName = "folder name",
     .key = kFolderPathKey, .key2 = kFolderPath2Key, .limit = {255, 255}, .cipherDigits = 0, .shortCode = false},
}};
// clang-format on

// `heldEntryData` finds a row by its place, so the rows must follow the enumeration.
static_assert([] {
  for (std::size_t i = 0; i < kHeldEntryData.size(); ++i)
    if (kHeldEntryData[i].entry != static_cast<HeldEntry>(i)) return false;
  return true;
}());

/// The row of a held entry.
constexpr const HeldEntryData& heldEntryData(HeldEntry entry) {
  return kHeldEntryData[static_cast<std::size_t>(entry)];
}

}  // namespace jc::settings
