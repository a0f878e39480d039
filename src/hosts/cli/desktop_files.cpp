// Editing of module lists and settings.ini text for the desktop switch, keeping whatever
// else the files hold.
#include "hosts/cli/desktop_files.h"

#include <algorithm>

namespace jc::cli {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string_view trimmed(std::string_view text) {
  const char* space = " \t\n\r\v\f";
  std::size_t first = text.find_first_not_of(space);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string joinedWithout(std::string_view list, std::string_view name) {
  std::string out;
  for (std::string_view item : split(list, ':')) {
    if (item.empty() || item == name) continue;
    if (!out.empty()) out += ':';
    out += item;
  }
  return out;
}

// One line of a key file as GLib's reader sees it.
enum class LineKind { Blank, Comment, Group, Key };
struct IniLine {
  LineKind kind;
  std::string_view group;  // Group: the group's name
  std::string_view key;    // Key: the key, trimmed
  std::string_view value;  // Key: the value, trimmed
};

Result<IniLine> classify(std::string_view line, std::size_t number) {
  std::string_view text = trimmed(line);
  if (text.empty()) return IniLine{LineKind::Blank, {}, {}, {}};
  if (text.front() == '#') return IniLine{LineKind::Comment, {}, {}, {}};
  if (text.front() == '[' && text.back() == ']' && text.size() > 2)
    return IniLine{LineKind::Group, text.substr(1, text.size() - 2), {}, {}};
  std::size_t eq = text.find('=');
  if (eq != std::string_view::npos && eq > 0)
    return IniLine{LineKind::Key, {}, trimmed(text.substr(0, eq)), trimmed(text.substr(eq + 1))};
  return Refusal{"line " + std::to_string(number) +
                 " is neither a [group], KEY=VALUE nor a # comment, as GTK reads the file"};
}

constexpr std::string_view kGroup = "Settings";
constexpr std::string_view kKey = "gtk-modules";

// The lines of `ini` with their kinds, and in which group each stands ("" before any).
struct ParsedIni {
  std::vector<std::string_view> lines;
  std::vector<IniLine> kinds;
  std::vector<std::string_view> groups;
};

Result<ParsedIni> parseIni(std::string_view ini) {
  ParsedIni parsed;
  parsed.lines = split(ini, '\n');
  if (!parsed.lines.empty() && parsed.lines.back().empty()) parsed.lines.pop_back();
  std::string_view group;
  for (std::size_t i = 0; i < parsed.lines.size(); ++i) {
    Result<IniLine> line = classify(parsed.lines[i], i + 1);
    if (!line) return line.refusal();
    if (line->kind == LineKind::Group) group = line->group;
    if (line->kind == LineKind::Key && group.empty())
      return Refusal{"line " + std::to_string(i + 1) + " has a key before any [group]"};
    parsed.kinds.push_back(*line);
    parsed.groups.push_back(group);
  }
  return parsed;
}

bool isModulesKey(const ParsedIni& ini, std::size_t i) {
  return ini.kinds[i].kind == LineKind::Key && ini.groups[i] == kGroup && ini.kinds[i].key == kKey;
}

}  // namespace

bool listHas(std::string_view list, std::string_view name) {
  auto items = split(list, ':');
  return !name.empty() && std::find(items.begin(), items.end(), name) != items.end();
}

std::string listWith(std::string_view list, std::string_view name) {
  if (listHas(list, name)) return joinedWithout(list, "");
  std::string out = joinedWithout(list, "");
  return out.empty() ? std::string(name) : out + ":" + std::string(name);
}

std::string listWithout(std::string_view list, std::string_view name) {
  return joinedWithout(list, name);
}

Result<std::optional<std::string>> gtkModulesOf(std::string_view ini) {
  Result<ParsedIni> parsed = parseIni(ini);
  if (!parsed) return parsed.refusal();
  std::optional<std::string> value;
  for (std::size_t i = 0; i < parsed->lines.size(); ++i)
    if (isModulesKey(*parsed, i)) value = std::string(parsed->kinds[i].value);
  return value;
}

Result<std::string> withGtkModules(std::string_view ini, const std::optional<std::string>& value) {
  Result<ParsedIni> parsed = parseIni(ini);
  if (!parsed) return parsed.refusal();
  const ParsedIni& p = *parsed;
  std::optional<std::size_t> last, endOfGroup;
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    if (isModulesKey(p, i)) last = i;
    if (p.groups[i] == kGroup && p.kinds[i].kind != LineKind::Blank) endOfGroup = i;
  }
  const std::string line = value ? std::string(kKey) + "=" + *value : "";
  std::vector<std::string> out;
  for (std::size_t i = 0; i < p.lines.size(); ++i) {
    if (isModulesKey(p, i) && i != last) continue;
    if (i == last) {
      if (value) out.push_back(line);
      continue;
    }
    out.emplace_back(p.lines[i]);
    if (value && !last && endOfGroup == i) out.push_back(line);
  }
  if (value && !last && !endOfGroup) {
    if (!out.empty() && !trimmed(out.back()).empty()) out.emplace_back();
    out.push_back("[" + std::string(kGroup) + "]");
    out.push_back(line);
  }
  // What the switch added and took away again leaves no empty group behind.
  bool onlyEmptyGroups = std::all_of(out.begin(), out.end(), [](const std::string& l) {
    std::string_view t = trimmed(l);
    return t.empty() || t == "[Settings]";
  });
  if (onlyEmptyGroups) return std::string();
  std::string text;
  for (const std::string& l : out) text += l + "\n";
  return text;
}

Result<std::vector<std::string>> parseStringList(std::string_view text) {
  text = trimmed(text);
  if (text.substr(0, 4) == "@as ") text = trimmed(text.substr(4));
  auto refuse = [&] { return Refusal{"not a list of strings: " + std::string(text)}; };
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return refuse();
  std::vector<std::string> items;
  std::size_t i = 1;
  const std::size_t end = text.size() - 1;
  while (true) {
    while (i < end && text[i] == ' ') ++i;
    if (i == end) break;
    const char quote = text[i];
    if (quote != '\'' && quote != '"') return refuse();
    std::string item;
    for (++i; i < end && text[i] != quote; ++i) {
      char c = text[i];
      if (c == '\\' && i + 1 < end) {
        c = text[++i];
        c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
      }
      item += c;
    }
    if (i == end) return refuse();
    items.push_back(std::move(item));
    ++i;
    while (i < end && text[i] == ' ') ++i;
    if (i < end && text[i] != ',') return refuse();
    if (i < end) ++i;
  }
  return items;
}

std::string formatStringList(const std::vector<std::string>& items) {
  std::string out = "[";
  for (const std::string& item : items) {
    if (out.size() > 1) out += ", ";
    out += '\'';
    for (char c : item) {
      if (c == '\\' || c == '\'') out += '\\';
      out += c;
    }
    out += '\'';
  }
  return out + "]";
}

std::string gnomeModuleDesktopFile() {
  return "[GTK Module]\n"
         "Name=Job Control\n"
         "Description=The Job Control tab in the print dialog of every GTK 3 application\n"
         "X-GTK-Module-Name=" +
         std::string(kGtk3ModuleName) + "\n";
}

std::string environmentEntry() {
  return "# The Job Control tab in the print dialog of every GTK 3 application "
         "(jobcontrol desktop)\n"
         "GTK_MODULES=${GTK_MODULES:+$GTK_MODULES:}" +
         std::string(kGtk3ModuleName) + "\n";
}

bool environmentEntryEnables(std::string_view text) {
  for (std::string_view line : split(text, '\n')) {
    line = trimmed(line);
    if (line.substr(0, 12) != "GTK_MODULES=") continue;
    // The value may start with an expansion of the earlier list ("${GTK_MODULES:+…}").
    std::string_view value = line.substr(12);
    if (std::size_t brace = value.rfind('}'); brace != std::string_view::npos)
      value = value.substr(brace + 1);
    if (listHas(value, kGtk3ModuleName)) return true;
  }
  return false;
}

}  // namespace jc::cli
