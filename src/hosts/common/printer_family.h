// Which printers the panel is made for.
#pragma once

#include <string>
#include <string_view>

namespace jc {

/// Whether a queue whose printer-make-and-model is `makeAndModel` is one of the printers the
/// panel serves: their PPDs name the maker first, and CUPS keeps it first.
inline bool servedByThePanel(std::string_view makeAndModel) {
  return makeAndModel.starts_with("Vorelia");
}

/// The printer-make-and-model CUPS gives the queue `queue` (on the server CUPS_SERVER or
/// client.conf names); empty for a queue CUPS does not know.
std::string queueMakeAndModel(const std::string& queue);

}  // namespace jc
