// The command line of `jobcontrol`: printer selection, settings file and the command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace jc::cli {

/// What the user asked for.
struct Options {
  std::optional<std::string> bundle;     ///< --bundle PATH
  std::optional<std::string> ppd;        ///< --ppd FILE
  std::optional<std::string> printerId;  ///< --printer-id ID
  std::optional<std::string> deviceURI;  ///< --device-uri URI
  std::optional<std::string> settings;   ///< --settings FILE
  std::optional<std::string> jobName;    ///< --job-name NAME
  bool help = false;
  std::string command;                ///< "set" or "show"
  std::vector<std::string> arguments;  ///< ENTRY=VALUE words after the command
};

/// Parses argv. Answers nullopt with a message in `error` for a bad command line.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string* error);

/// The usage text.
const char* usageText();

}  // namespace jc::cli
