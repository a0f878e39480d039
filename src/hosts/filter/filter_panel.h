// The panel driven for one job in the queue's filter, headless, as `jobcontrol print`
// drives it: the job's owner and title, the entries of its options, then the save.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "hosts/filter/filter_options.h"
#include "platform/base/result.h"

namespace jc::filter {

/// The job as cupsd hands it to a filter.
struct FilterContext {
  std::filesystem::path bundle;
  std::string ppdPath;  ///< $PPD
  std::string queue;    ///< $PRINTER
  std::string deviceURI;
  std::string owner;  ///< argv[2]
  std::string title;  ///< argv[3]
};

/// Opens the panel for the queue's PPD, types the owner as user name, applies `job`'s
/// entries as user events and saves: the print settings the panel wrote (every key with
/// its value). The panel's preferences are kept in this process's memory, never on disk,
/// so no job sees another's held entries. Refuses with "OPTION: why" for a refused entry (a
/// secret's value never shown), or when a job that asked for retention would not be held.
Result<std::map<std::string, std::string>> panelKeys(const FilterContext& context,
                                                     const FilterJob& job);

}  // namespace jc::filter
