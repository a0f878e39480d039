// Reading a job's options as the printer side gets them: a filter's argv[5] (CUPS option
// syntax) or key=value lines as `jobcontrol set` writes them.
#pragma once

#include <map>
#include <string>

namespace jc::cli {

/// Parses `text`. Text of more than one non-empty line is read as key=value lines
/// (blank lines and '#' comments skipped, a line without '=' ignored); otherwise as one
/// line of CUPS options (name=value words, quoting and backslashes as cupsParseOptions
/// takes them). A name given twice keeps its last value.
std::map<std::string, std::string> parseJobOptions(const std::string& text);

}  // namespace jc::cli
