// The command line of `jobcontrol`: printer selection, the command, its options, entries
// and files. Parsing is kept apart from running so the grammar can be tested on its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hosts/common/near_name.h"
#include "hosts/common/standard_attributes.h"
#include "platform/base/result.h"

namespace jc::cli {

/// The commands, in the order the usage text lists them.
enum class Command { None, Show, Set, Folders, Print, Printers, Decode, Desktop, Queue, Help };

/// What `desktop` does with the GTK 3 module.
enum class DesktopAction { None, Enable, Disable, Status };

/// What the user asked for.
struct Options {
  Command command = Command::None;
  Command helpTopic = Command::None;          ///< `help COMMAND`, `COMMAND --help`
  std::optional<std::string> bundle;          ///< --bundle PATH
  std::optional<std::string> printer;         ///< --printer, -d, -P QUEUE (a CUPS queue)
  bool demo = false;                          ///< --demo: the built-in demo printer
  std::optional<std::string> ppd;             ///< --ppd FILE
  std::optional<std::string> printerId;       ///< --printer-id ID
  std::optional<std::string> deviceURI;       ///< --device-uri URI
  std::optional<std::string> settings;        ///< --settings FILE
  std::optional<std::string> jobName;         ///< --job-name NAME
  std::optional<std::string> secretsFile;     ///< --secrets-file FILE (set, print)
  std::optional<std::string> out;             ///< --out FILE (set, print)
  std::optional<std::string> address;         ///< --address HOST[:PORT] (folders)
  std::optional<std::string> passCode;        ///< --pass-code N (decode)
  std::optional<std::string> folderPassCode;  ///< --folder-pass-code N (decode)
  std::optional<std::string> filter;          ///< --filter PROGRAM (queue)
  bool privateValues = false;                 ///< --private (queue)
  bool json = false;                          ///< --json
  bool lp = false;                            ///< --lp (set): `-o key=value` words instead of lines
  bool help = false;                          ///< -h, --help
  bool version = false;                       ///< --version
  DesktopAction desktopAction = DesktopAction::None;  ///< desktop enable|disable|status
  bool user = false;                                  ///< --user (desktop): the calling user only
  // print, as lp takes them.
  std::optional<int> copies;         ///< -n COPIES
  std::optional<std::string> title;  ///< -t TITLE
  bool quiet = false;                ///< -q
  /// --ipp-attributes auto|always|never: standard IPP job attributes beside our keys.
  std::optional<StandardAttributesMode> ippAttributes;
  /// -o NAME=VALUE job options that are not ours, passed to CUPS as given, in order.
  std::vector<std::pair<std::string, std::string>> jobOptions;
  /// ENTRY=VALUE words, in the order given (`-o ENTRY=VALUE` of print included).
  std::vector<std::string> entries;
  /// The files of `print` (one or more, "-" is standard input) and of `decode` (at most one);
  /// for `queue`, its action and the queue's name.
  std::vector<std::string> files;
};

/// Parses the words after the program name. Options may stand before or after the
/// command; a long option takes its value as the next word or after '='. After the
/// command a word of the form NAME=VALUE, NAME made of lower-case letters and '-', is an
/// entry, any other word a file; after "--" every word is a file. Refuses a bad command
/// line with a message (with a "did you mean" for a near miss). With --help or --version,
/// the rest is not checked.
Result<Options> parseOptions(const std::vector<std::string>& args);

/// The command's name as typed ("" for None).
const char* commandName(Command command);

/// The usage text of one command, or the overview for None.
std::string usageText(Command command);

/// Whether `code` is a pass code as the panel takes it: one to five digits.
bool isPassCode(std::string_view code);

}  // namespace jc::cli
