// Whether cupsd's configuration keeps job options from other users (JobPrivateValues in
// each <Policy>), and the configuration with them added.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jc::cli {

/// The policies of `conf` (cupsd.conf text) that let other users see any of `names`, each
/// as "NAME: option, option"; empty when every policy keeps them private ("all" counts).
std::vector<std::string> policiesShowing(std::string_view conf,
                                         const std::vector<std::string>& names);

/// `conf` with `names` added to the JobPrivateValues of every policy that shows them: to
/// its line ("none" is replaced), or as a new line "JobPrivateValues default NAMES" after
/// the <Policy> line when it has none. Every other byte stays as it was.
std::string withPrivateValues(std::string_view conf, const std::vector<std::string>& names);

}  // namespace jc::cli
