// A queue's PPD that carries Job Control: the "Job Control" group of options, the queue's
// filter program replaced by the wrapper that turns the chosen options into the panel's
// keys, and the PPD it replaced kept inside it, so that it can be given back byte for byte.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/result.h"

namespace jc {

/// The PPD keyword that names the queue's own filter program, which the wrapper runs.
inline constexpr std::string_view kRealFilterKeyword = "JCRealFilter";
/// The PPD keyword whose choices map the filing choices "Folder1", ... to folder names.
inline constexpr std::string_view kFolderNameKeyword = "JCFolderName";

/// A PPD with Job Control added, and what was changed, one line each in the command's
/// language (as its refusals are); the last line counts the printer's folders offered, so
/// a caller may list their names below it.
struct JobControlPPD {
  std::string text;
  std::vector<std::string> changes;
};

/// Adds Job Control to the PPD `original`: the group with the options of queueOptions(),
/// the printer's `folders` as filing choices, German captions, every cupsFilter and
/// cupsFilter2 program replaced by `wrapper` and the replaced program kept under
/// kRealFilterKeyword, and `original` itself in comment lines at the end. Refuses a PPD of
/// another maker than Vorelia, one CUPS made for a driverless printer, one that already
/// carries Job Control, one that names no filter or differing filter programs.
Result<JobControlPPD> addJobControl(std::string_view original, std::string_view wrapper,
                                    const std::vector<std::string>& folders);

/// Whether `ppd` carries Job Control (made by addJobControl).
bool carriesJobControl(std::string_view ppd);

/// The PPD that addJobControl was given, byte for byte. Refuses a PPD that does not carry
/// Job Control or whose kept copy is damaged.
Result<std::string> originalPPD(std::string_view ppd);

/// What the wrapper reads of a PPD that carries Job Control.
struct JobControlQueue {
  std::string realFilter;                      ///< the program, "-" for none
  std::map<std::string, std::string> folders;  ///< choice keyword → folder name (UTF-8)
};

/// Reads the real filter and the folder names of `ppd`; refuses when it names no real filter.
Result<JobControlQueue> readJobControlQueue(std::string_view ppd);

}  // namespace jc
