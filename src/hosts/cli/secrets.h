// Secrets kept off the command line: `ENTRY=-` takes the value from --secrets-file, from
// the terminal without echo, or from a line of standard input.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "hosts/cli/options.h"
#include "platform/base/result.h"

namespace jc::cli {

/// Reads ENTRY=VALUE lines of a secrets file (blank lines and '#' comments skipped). Refuses
/// a file that its group or others may read, a line without '=', and an unknown entry,
/// with a message naming the file and line (never a value).
Result<std::map<std::string, std::string>> readSecretsFile(const std::string& path);

/// Gives every `ENTRY=-` word of a secret entry its value: the secrets file's, else asked
/// on the terminal without echo, else one line of standard input. False after a message
/// on standard error when a value cannot be had.
bool resolveSecrets(Options& options);

}  // namespace jc::cli
