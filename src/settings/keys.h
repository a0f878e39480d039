// The job-control settings' print-settings keys, hold-button bits, digit codes and the
// per-entry limits: every table of the settings in one place, with lookups both ways.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace jc::settings {

/// Every key starts with this prefix.
inline constexpr std::string_view kKeyPrefix = "vorelia.print.PrintSettings.";

// The keys, in the order the writer handles them.
inline constexpr const char* kSpoolTimeKey = "vorelia.print.PrintSettings.spoolTime";
inline constexpr const char* kFilingKey = "vorelia.print.PrintSettings.filing";
inline constexpr const char* kFolderPathKey = "vorelia.print.PrintSettings.folderPath";
inline constexpr const char* kFolderPath2Key = "vorelia.print.PrintSettings.folderPath2";
inline constexpr const char* kJobSuspendKey = "vorelia.print.PrintSettings.jobSuspend";
inline constexpr const char* kJobSuspendKeyKey = "vorelia.print.PrintSettings.jobSuspendKey";
inline constexpr const char* kJobSuspend2KeyKey = "vorelia.print.PrintSettings.jobSuspend2Key";
inline constexpr const char* kAuthenticationKey = "vorelia.print.PrintSettings.Authentication";
inline constexpr const char* kLoginName11Key = "vorelia.print.PrintSettings.loginName11";
inline constexpr const char* kLoginName12Key = "vorelia.print.PrintSettings.loginName12";
inline constexpr const char* kLoginName01Key = "vorelia.print.PrintSettings.loginName01";
inline constexpr const char* kLoginName02Key = "vorelia.print.PrintSettings.loginName02";
inline constexpr const char* kPasswordKey = "vorelia.print.PrintSettings.password";
inline constexpr const char* kPassword2Key = "vorelia.print.PrintSettings.password2";
inline constexpr const char* kUserNumberKey = "vorelia.print.PrintSettings.userNumber";
inline constexpr const char* kUserNumber2Key = "vorelia.print.PrintSettings.userNumber2";
inline constexpr const char* kAccountNumberKey = "vorelia.print.PrintSettings.accountNumber";
inline constexpr const char* kAccountNumber2Key = "vorelia.print.PrintSettings.accountNumber2";
inline constexpr const char* kUserNameKey = "vorelia.print.PrintSettings.userName";
inline constexpr const char* kUserName2Key = "vorelia.print.PrintSettings.userName2";
inline constexpr const char* kJobNameKey = "vorelia.print.PrintSettings.jobName";
inline constexpr const char* kJobName2Key = "vorelia.print.PrintSettings.jobName2";
inline constexpr const char* kFolderPasswordKey = "vorelia.print.PrintSettings.folderPassword";
inline constexpr const char* kFolderPassword2Key = "vorelia.print.PrintSettings.folderPassword2";
inline constexpr const char* kHoldButtonKey = "vorelia.print.PrintSettings.holdButton";

/// Prefixes of the numbered login-name keys (piece numbers from 1 follow).
inline constexpr const char* kLoginName1Prefix = "vorelia.print.PrintSettings.loginName1";
inline constexpr const char* kLoginName0Prefix = "vorelia.print.PrintSettings.loginName0";

/// All fixed keys of the table (the numbered login-name pieces beyond 2 are not listed).
// clang-format off
inline constexpr std::array<const char*, 25> kAllKeys = {
    kSpoolTimeKey,      kFilingKey,          kFolderPathKey,       kFolderPath2Key,
    kJobSuspendKey,     kJobSuspendKeyKey,   kJobSuspend2KeyKey,   kAuthenticationKey,
    kLoginName11Key,    kLoginName12Key,     kLoginName01Key,      kLoginName02Key,
    kPasswordKey,       kPassword2Key,       kUserNumberKey,       kUserNumber2Key,
    kAccountNumberKey,  kAccountNumber2Key,  kUserNameKey,         kUserName2Key,
    kJobNameKey,        kJobName2Key,        kFolderPasswordKey,   kFolderPassword2Key,
    kHoldButtonKey};
// clang-format on

/// The folder path written for the main folder.
inline constexpr std::string_view kStandardFolder = "*standard";

/// The nine remembered entries, each with its hold button's bit and preference name.
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

/// Hold-button mask bits.
inline constexpr std::uint32_t kHoldPassCode = 1;
inline constexpr std::uint32_t kHoldLoginName = 2;
inline constexpr std::uint32_t kHoldPassword = 4;
inline constexpr std::uint32_t kHoldUserName = 8;
inline constexpr std::uint32_t kHoldJobName = 16;
inline constexpr std::uint32_t kHoldFolderPassCode = 32;
inline constexpr std::uint32_t kHoldUserNumber = 64;
inline constexpr std::uint32_t kHoldAccountNumber = 128;
inline constexpr std::uint32_t kHoldFolderName = 256;

/// One row of the held-entry table.
struct HeldEntryRow {
  HeldEntry entry;
  std::uint32_t bit;
  const char* holdButton;      ///< the hold button's outlet name
  const char* preferenceName;  ///< the key in the preferences' "Job Control" dictionary
};

/// The nine held entries in bit order.
inline constexpr std::array<HeldEntryRow, 9> kHeldEntries = {{
    {HeldEntry::PassCode, kHoldPassCode, "suspendKeyButton", "pass code"},
    {HeldEntry::LoginName, kHoldLoginName, "loginNameButton", "user login name"},
    {HeldEntry::Password, kHoldPassword, "passwordButton", "user password"},
    {HeldEntry::UserName, kHoldUserName, "userNameButton", "user name"},
    {HeldEntry::JobName, kHoldJobName, "jobNameButton", "job name"},
    {HeldEntry::FolderPassCode, kHoldFolderPassCode, "folderPasswordButton", "folder pass code"},
    {HeldEntry::UserNumber, kHoldUserNumber, "userNumberButton", "user number"},
    {HeldEntry::AccountNumber, kHoldAccountNumber, "accountNumberButton", "account number"},
    {HeldEntry::FolderName, kHoldFolderName, "folderNameButton", "folder name"},
}};

/// The row of a held entry.
const HeldEntryRow& heldEntryRow(HeldEntry entry);

/// Retention modes, as the digit of the jobSuspend key.
enum class Retention { None = 0, HoldAfterPrint = 1, HoldOnly = 2, SamplePrint = 3 };
/// The jobSuspend digit for a retention mode.
char retentionDigit(Retention mode);
/// The retention mode of a jobSuspend digit; any other character means no retention.
Retention retentionFromDigit(char digit);
/// The suspendMatrix row of a retention mode (None gives 0, with the check box off).
int retentionRow(Retention mode);
/// The retention mode of a suspendMatrix row with retention on; None for other rows.
Retention retentionFromRow(int row);

/// Filing modes, as the digit of the filing key.
enum class Filing { None = 0, QuickFile = 1, MainFolder = 2, CustomFolder = 3 };
char filingDigit(Filing mode);
/// The filing mode of a digit; nullopt for any other character.
std::optional<Filing> filingFromDigit(char digit);

/// Authentication digit: "1" login name and password, "0" user number.
inline constexpr char kAuthenticationLoginDigit = '1';
inline constexpr char kAuthenticationNumberDigit = '0';

/// The writer's limits per entry: the characters taken and the bytes kept.
struct EntryLimit {
  std::size_t characters;
  std::size_t bytes;
};
inline constexpr EntryLimit kPassCodeLimit{8, 8};
inline constexpr EntryLimit kFolderNameLimit{255, 255};
inline constexpr EntryLimit kFolderPassCodeLimit{8, 8};
inline constexpr EntryLimit kLoginNameLimit{255, 255};
inline constexpr EntryLimit kPasswordLimit{32, 32};
inline constexpr EntryLimit kUserNumberLimit{8, 8};
inline constexpr EntryLimit kAccountNumberLimit{8, 5};
inline constexpr EntryLimit kUserNameLimit{32, 32};
inline constexpr EntryLimit kJobNameLimit{32, 32};

/// Codes longer than this many bytes are dropped on reading back, unless the capability
/// answer for pass-code length is 8.
inline constexpr std::size_t kShortCodeBytes = 5;

}  // namespace jc::settings
