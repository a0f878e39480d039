// The "Job Control" options a queue's PPD offers to every print dialog and to lp: one table
// that both the PPD writer and the queue's filter read, so what a dialog shows is what the
// filter takes.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace jc {

/// One choice of a pick-one option: its PPD keyword, its captions and the command's entry
/// word it stands for ("" for none: the panel's own default stays, as for retention off).
struct QueueChoice {
  std::string_view keyword;
  std::string_view text;
  std::string_view textDe;
  std::string_view entryValue;
};

/// How an option's value is typed.
enum class QueueValue {
  Choice,  ///< one of `choices`
  Digits,  ///< a custom value of digits only (PPD type passcode: masked, digits)
  Text,    ///< a custom text (PPD type string)
  Secret,  ///< a custom text that is masked (PPD type password)
};

/// One option of the group.
struct QueueOption {
  std::string_view keyword;  ///< the PPD option keyword, as `lp -o` names it
  std::string_view text;     ///< its caption
  std::string_view textDe;   ///< its German caption
  std::string_view entry;    ///< the command's entry it sets ("retention", "pass-code", ...)
  QueueValue value;
  std::vector<QueueChoice> choices;  ///< for Choice; the first is the default
  std::size_t maxLength = 0;         ///< for custom values: the most characters taken
  /// Whether its value is never repeated in a message or a log.
  bool secret() const { return value == QueueValue::Digits || value == QueueValue::Secret; }
};

/// The keyword of the group that holds the options.
inline constexpr std::string_view kQueueGroup = "JobControl";
/// The word a custom value follows ("Custom.1234"), and the "no value" choice of a custom
/// option.
inline constexpr std::string_view kCustomPrefix = "Custom.";
inline constexpr std::string_view kNoValue = "None";
/// The filing choices for the printer's own folders are this prefix and a number from 1.
inline constexpr std::string_view kFolderChoicePrefix = "Folder";

/// The options, in the order a dialog shows them: retention, its pass code, filing, the
/// folder pass code, authentication, login name, password, user number, account number.
std::span<const QueueOption> queueOptions();

/// The option with PPD keyword `keyword`, or nullptr.
const QueueOption* findQueueOption(std::string_view keyword);

}  // namespace jc
