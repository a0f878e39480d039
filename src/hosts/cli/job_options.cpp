// Job options from a filter's argument or from key=value lines.
#include "hosts/cli/job_options.h"

#include <cups/cups.h>

#include <sstream>
#include <vector>

namespace jc::cli {

std::map<std::string, std::string> parseJobOptions(const std::string& text) {
  std::map<std::string, std::string> options;
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    lines.push_back(line);
  }
  if (lines.size() > 1) {
    for (const std::string& line : lines) {
      if (line.front() == '#') continue;
      auto eq = line.find('=');
      if (eq == std::string::npos || eq == 0) continue;
      options[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return options;
  }
  if (lines.empty()) return options;
  cups_option_t* parsed = nullptr;
  int count = cupsParseOptions(lines.front().c_str(), 0, &parsed);
  for (int i = 0; i < count; ++i) options[parsed[i].name] = parsed[i].value;
  cupsFreeOptions(count, parsed);
  return options;
}

}  // namespace jc::cli
