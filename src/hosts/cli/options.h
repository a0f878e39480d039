// The command line of `jobcontrol`: printer selection, the command, its options, entries
// and files. Parsing is kept apart from running so the grammar can be tested on its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace jc::cli {

/// The commands, in the order the usage text lists them.
enum class Command { None, Show, Set, Folders, Print, Decode };

/// What the user asked for.
struct Options {
  Command command = Command::None;
  std::optional<std::string> bundle;          ///< --bundle PATH
  std::optional<std::string> printer;         ///< --printer QUEUE (a CUPS queue)
  std::optional<std::string> ppd;             ///< --ppd FILE
  std::optional<std::string> printerId;       ///< --printer-id ID
  std::optional<std::string> deviceURI;       ///< --device-uri URI
  std::optional<std::string> settings;        ///< --settings FILE
  std::optional<std::string> jobName;         ///< --job-name NAME
  std::optional<std::string> out;             ///< --out FILE (set, print)
  std::optional<std::string> address;         ///< --address HOST[:PORT] (folders)
  std::optional<std::string> passCode;        ///< --pass-code N (decode)
  std::optional<std::string> folderPassCode;  ///< --folder-pass-code N (decode)
  bool json = false;                          ///< --json
  bool lp = false;                            ///< --lp (set): `-o key=value` words instead of lines
  bool help = false;                          ///< -h, --help
  /// ENTRY=VALUE words, in the order given.
  std::vector<std::string> entries;
  /// The files of `print` (one or more) and of `decode` (at most one; "-" is standard input).
  std::vector<std::string> files;
};

/// Parses the words after the program name. Options may stand before or after the
/// command; after the command a word of the form NAME=VALUE, NAME made of lower-case
/// letters and '-', is an entry, any other word a file; after "--" every word is a file.
/// Answers nullopt with a message in `error` for a bad command line. With --help, the
/// rest is not checked.
Result<Options> parseOptions(const std::vector<std::string>& args);

/// The command's name as typed ("" for None).
const char* commandName(Command command);

/// The usage text of one command, or the overview for None.
std::string usageText(Command command);

}  // namespace jc::cli
