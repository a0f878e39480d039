// In-memory print settings and their key=value text form.
#include "platform/host/print_settings.h"

#include <istream>
#include <ostream>

namespace jc {

std::optional<std::string> MemoryPrintSettings::value(const std::string& key) const {
  auto it = entries_.find(key);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

void MemoryPrintSettings::setValue(const std::string& key, std::optional<std::string> value) {
  if (value)
    entries_[key] = std::move(*value);
  else
    entries_.erase(key);
}

Result<> MemoryPrintSettings::read(std::istream& in) {
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0)
      return Refusal{"line " + std::to_string(number) + ": expected key=value"};
    entries_[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return accepted();
}

void MemoryPrintSettings::write(std::ostream& out) const {
  for (const auto& [key, value] : entries_) out << key << '=' << value << '\n';
}

}  // namespace jc
