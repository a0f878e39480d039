// What the queue's filter makes of a job's options: the Job Control choices checked and
// turned into the panel's entries, the options that go on to the real filter, and the
// text of a filter's options argument.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/base/result.h"

namespace jc::filter {

/// A job's options in the order they came.
using JobOptions = std::vector<std::pair<std::string, std::string>>;

/// A job's options, checked.
struct FilterJob {
  /// The panel's entries ("retention=hold-only", "pass-code=1234", ...) in the order a
  /// person gives them: choices before the fields they enable.
  std::vector<std::string> entries;
  /// For each entry, the option it came from ("JCPassCode", "job-password"), for messages.
  std::vector<std::string> sources;
  /// Every option but the Job Control ones (and a job-password that became the pass code).
  JobOptions passOn;
  bool asksRetention = false;  ///< the job must be held at the printer
  bool asksAnything = false;   ///< any entry at all
  bool carriesKeys = false;    ///< the panel's keys came with the job already
};

/// Checks and maps `options`. `folders` maps the filing choices "Folder1", ... to folder
/// names. The standard attributes job-password (unless its job-password-encryption is
/// not "none"), job-account-id and job-accounting-user-id stand for retention with that
/// pass code, the account number and the login name when the Job Control options do not
/// give them. Refuses, with "OPTION: why", a value the dialog or lp should not have sent:
/// an unknown choice, a bare "Custom", a value after the "None" placeholder, a letter in a
/// pass code or number, a value over its limit, or filing without retention. A secret's
/// value never appears in a refusal.
Result<FilterJob> mapJobOptions(const JobOptions& options,
                                const std::map<std::string, std::string>& folders);

/// Whether an options argument can carry `name`: not empty, and none of the blanks, '=',
/// quotes, backslash or braces that cupsParseOptions reads as syntax.
bool isOptionName(std::string_view name);

/// The options as a filter's options argument (argv[5]) that cupsParseOptions reads back
/// as the same names and values, in order; an option whose name fails isOptionName is left
/// out, as no argument can carry it.
std::string encodeJobOptions(const JobOptions& options);

/// A filter's options argument read with libcups, in order.
JobOptions parseJobOptions(const std::string& text);

}  // namespace jc::filter
