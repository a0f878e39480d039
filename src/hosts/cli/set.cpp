// `jobcontrol set`: the entries applied as user events, then save and print confirmation,
// and the print settings written out.
#include <cctype>
#include <fstream>
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/cli/panel_driver.h"
#include "platform/unicode.h"

namespace jc::cli {

namespace {

// A word for a POSIX shell: as it is when it holds only safe characters, else quoted.
std::string shellWord(const std::string& word) {
  bool plain = !word.empty();
  for (char c : word)
    if (!(std::isalnum(static_cast<unsigned char>(c)) ||
          std::string_view("=._-+/:,@%").find(c) != std::string_view::npos))
      plain = false;
  if (plain) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

int applyEntries(Session& session, const Options& options) {
  // Every word is checked before the first event, so a typing mistake late on the line
  // never leaves the panel half changed.
  std::vector<Assignment> assignments;
  for (const std::string& word : options.entries) {
    Result<Assignment> assignment = parseAssignment(word);
    if (!assignment) {
      std::cerr << "jobcontrol: " << assignment.message() << "\n";
      return kExitUsage;
    }
    assignments.push_back(std::move(*assignment));
  }
  for (const Assignment& assignment : assignments) {
    // No entry keeps more than a few hundred bytes; typing much more, key by key through
    // the field's filter, would only keep the command busy.
    if (std::size_t length = utf8ToUtf32(assignment.value).size(); length > kMaxTypedCharacters) {
      std::cerr << "jobcontrol: " << assignment.entry->name << ": the value is " << length
                << " characters long, more than the " << kMaxTypedCharacters
                << " that can be typed; nothing was saved\n";
      return kExitUsage;
    }
  }
  PanelDriver driver(session.view);
  for (const Assignment& assignment : assignments) {
    if (Result<> applied = driver.apply(assignment); !applied) {
      std::cerr << "jobcontrol: " << assignment.word << ": " << applied.message()
                << "; nothing was saved\n";
      return kExitUsage;
    }
  }
  return kExitSuccess;
}

bool saveAndConfirm(Session& session) {
  const std::size_t reported = session.callback->preferenceProblems.size();
  session.panel->saveValuesAndReturnError(nullptr);
  session.panel->shouldPrint();
  return session.callback->preferenceProblems.size() == reported;
}

bool writeOutFile(const Session& session, const Options& options) {
  if (!options.out) return true;
  std::ofstream out(*options.out, std::ios::trunc);
  session.settings->write(out);
  out.close();
  if (!out) {
    std::cerr << "jobcontrol: " << *options.out << ": cannot write the print settings\n";
    return false;
  }
  return true;
}

int runSet(const Options& options) {
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  if (int status = applyEntries(*session, options); status != kExitSuccess) return status;
  const bool remembered = saveAndConfirm(*session);

  std::ofstream file;
  if (options.out) {
    file.open(*options.out, std::ios::trunc);
    if (!file) {
      std::cerr << "jobcontrol: " << *options.out << ": cannot write the print settings\n";
      return kExitFailure;
    }
  }
  std::ostream& out = options.out ? static_cast<std::ostream&>(file) : std::cout;
  const auto& entries = session->settings->entries();
  if (options.lp) {
    std::string line;
    for (const auto& [key, value] : entries) {
      if (!line.empty()) line += ' ';
      std::string option = key;
      option += '=';
      option += value;
      line += "-o ";
      line += shellWord(option);
    }
    out << line << "\n";
  } else if (options.json) {
    out << "{\"printer\":" << jsonString(session->printerId) << ",\"settings\":{";
    JsonSeparator comma;
    for (const auto& [key, value] : entries)
      out << comma() << "\n  " << jsonString(key) << ":" << jsonString(value);
    out << "\n}}\n";
  } else {
    session->settings->write(out);
  }
  out.flush();
  if (!out) {
    std::cerr << "jobcontrol: cannot write the print settings\n";
    return kExitFailure;
  }
  return remembered ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
