// Reading secrets from a private file, the terminal without echo, or standard input.
#include "hosts/cli/secrets.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "hosts/common/entries.h"
#include "hosts/common/messages.h"

namespace jc::cli {

namespace {

// One line from standard input; on a terminal, asked for with echo off and restored after.
std::optional<std::string> askFor(const std::string& entry) {
  std::string line;
  if (!::isatty(STDIN_FILENO)) {
    if (!std::getline(std::cin, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  termios saved{};
  const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (quiet) {
    termios silent = saved;
    silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
    silent.c_lflag |= ECHONL;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
  }
  std::cerr << subst(tr("%1 (not shown): "), {entry}) << std::flush;
  const bool got = static_cast<bool>(std::getline(std::cin, line));
  if (quiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  if (!got) return std::nullopt;
  return line;
}

}  // namespace

Result<std::map<std::string, std::string>> readSecretsFile(const std::string& path) {
  auto fail = [&](const std::string& message) { return Refusal{path + ": " + message}; };

  std::ifstream in(path);
  struct stat st {};
  if (!in || ::stat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) return fail(tr("not a regular file"));
  if (st.st_mode & (S_IRGRP | S_IROTH))
    return fail(tr("others may read this file; refused (make it private: chmod 600)"));
  std::map<std::string, std::string> secrets;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#') continue;
    auto eq = line.find('=');
    std::string name = line.substr(0, eq);
    if (eq == std::string::npos)
      return fail(subst(tr("line %1: not of the form ENTRY=VALUE"), {std::to_string(number)}));
    const Entry* entry = findEntry(name);
    if (!entry || entry->kind != EntryKind::Text)
      return fail(subst(tr("line %1: \"%2\" is not an entry that takes text"),
                        {std::to_string(number), name}));
    secrets[name] = line.substr(eq + 1);
  }
  return secrets;
}

Result<> resolveSecrets(Options& options) {
  std::map<std::string, std::string> secrets;
  if (options.secretsFile) {
    auto read = readSecretsFile(*options.secretsFile);
    if (!read) return read.refusal();
    secrets = std::move(*read);
  }
  for (std::string& word : options.entries) {
    auto eq = word.find('=');
    if (eq == std::string::npos || word.substr(eq + 1) != "-") continue;
    const std::string name = word.substr(0, eq);
    const Entry* entry = findEntry(name);
    if (!entry || entry->kind != EntryKind::Text) continue;
    if (auto it = secrets.find(name); it != secrets.end()) {
      word = name + "=" + it->second;
    } else if (entry->secret) {
      auto value = askFor(name);
      if (!value) return Refusal{subst(tr("%1=-: no value given"), {name})};
      word = name + "=" + *value;
    }
  }
  return accepted();
}

}  // namespace jc::cli
