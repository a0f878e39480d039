// The make and model of a CUPS queue, as `lpstat -l -p` shows it.
#include "hosts/common/printer_family.h"

#include <cups/cups.h>

namespace jc {

std::string queueMakeAndModel(const std::string& queue) {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
  if (!dest) return {};
  const char* model = cupsGetOption("printer-make-and-model", dest->num_options, dest->options);
  std::string answer = model ? model : "";
  cupsFreeDests(1, dest);
  return answer;
}

}  // namespace jc
