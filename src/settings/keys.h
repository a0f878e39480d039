// The job-control settings' print-settings keys and digit codes, with lookups both ways:
// plain data and constexpr functions, which the hosts read without linking this layer.
// Everything about one held entry is its row in the held-entry table (held_entries.h).
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

/// Retention modes, as the digit of the jobSuspend key.
enum class Retention { None = 0, HoldAfterPrint = 1, HoldOnly = 2, SamplePrint = 3 };
/// The jobSuspend digit for a retention mode.
constexpr char retentionDigit(Retention mode) {
  return static_cast<char>('0' + static_cast<int>(mode));
}
/// The retention mode of a jobSuspend digit; any other character means no retention.
constexpr Retention retentionFromDigit(char digit) {
  return digit >= '1' && digit <= '3' ? static_cast<Retention>(digit - '0') : Retention::None;
}

/// Filing modes, as the digit of the filing key.
enum class Filing { None = 0, QuickFile = 1, MainFolder = 2, CustomFolder = 3 };
/// The filing digit for a filing mode.
constexpr char filingDigit(Filing mode) {
  return static_cast<char>('0' + static_cast<int>(mode));
}
/// The filing mode of a digit; nullopt for any other character.
constexpr std::optional<Filing> filingFromDigit(char digit) {
  if (digit < '0' || digit > '3') return std::nullopt;
  return static_cast<Filing>(digit - '0');
}

/// Authentication digit: "1" login name and password, "0" user number.
inline constexpr char kAuthenticationLoginDigit = '1';
inline constexpr char kAuthenticationNumberDigit = '0';

}  // namespace jc::settings
