// `jobcontrol set`: the entries applied as user events, then save and print confirmation,
// and the print settings written out.
#include <cctype>
#include <fstream>
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/cli/secrets.h"
#include "hosts/common/messages.h"
#include "hosts/common/panel_driver.h"
#include "platform/text/unicode.h"
#include "settings/keys.h"

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

int applyEntries(Session& session, Options& options) {
  if (Result<> resolved = resolveSecrets(options); !resolved) {
    std::cerr << "jobcontrol: " << resolved.message() << "\n";
    return kExitUsage;
  }
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
  PanelDriver driver(session.view);
  for (const Assignment& assignment : assignments) {
    if (Result<> applied = driver.apply(assignment); !applied) {
      std::cerr << "jobcontrol: " << assignment.word << ": " << applied.message()
                << tr("; nothing was saved") << "\n";
      return kExitUsage;
    }
  }
  return kExitSuccess;
}

bool saveAndConfirm(Session& session, const Options& options) {
  const std::size_t reported = session.callback->preferenceProblems.size();
  session.panel->saveValuesAndReturnError(nullptr);
  session.panel->shouldPrint();

  // The panel files a job only on a printer that reports storage; a user who asked for
  // filing is told rather than left to find the job unfiled.
  bool askedForFiling = false;
  for (const std::string& word : options.entries)
    for (const char* name : {"filing=", "filing-kind=", "folder-name=", "folder-pass-code="})
      askedForFiling = askedForFiling || word.rfind(name, 0) == 0;
  const auto& entries = session.settings->entries();
  auto filing = entries.find(settings::kFilingKey);
  if (askedForFiling && filing != entries.end() && filing->second == "0")
    std::cerr << "jobcontrol: "
              << tr("note: this printer reports no storage for document filing, so the job "
                    "will not be filed (filing entries have no effect)")
              << "\n";
  return session.callback->preferenceProblems.size() == reported;
}

Result<> writeOutFile(const Session& session, const Options& options) {
  if (!options.out) return accepted();
  std::ofstream out(*options.out, std::ios::trunc);
  session.settings->write(out);
  out.close();
  if (!out) return Refusal{subst(tr("%1: cannot write the print settings"), {*options.out})};
  return accepted();
}

int runSet(const Options& given) {
  Options options = given;
  auto session = openSessionOrReport(options, "Untitled");
  if (!session) return kExitFailure;
  if (int status = applyEntries(*session, options); status != kExitSuccess) return status;
  const bool remembered = saveAndConfirm(*session, options);

  std::ofstream file;
  if (options.out) {
    file.open(*options.out, std::ios::trunc);
    if (!file) {
      std::cerr << "jobcontrol: "
                << subst(tr("%1: cannot write the print settings"), {*options.out}) << "\n";
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
    std::cerr << "jobcontrol: " << tr("cannot write the print settings") << "\n";
    return kExitFailure;
  }
  return remembered ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
