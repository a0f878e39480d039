// `jobcontrol printers`: the CUPS queues as lpstat -p -v shows them, and whether this
// panel serves each one.
#include <cups/cups.h>

#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/json.h"
#include "hosts/common/messages.h"
#include "hosts/common/printer_family.h"

namespace jc::cli {

int runPrinters(const Options& options) {
  cups_dest_t* dests = nullptr;
  int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  if (count == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
    std::cerr << "jobcontrol: " << subst(tr("cannot list the CUPS queues: %1"), {cupsFailure()})
              << "\n";
    return kExitFailure;
  }
  auto option = [](const cups_dest_t& d, const char* name) {
    const char* value = cupsGetOption(name, d.num_options, d.options);
    return std::string(value ? value : "");
  };
  if (options.json) std::cout << "[";
  JsonSeparator comma;
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& d = dests[i];
    if (d.instance) continue;
    const std::string uri = option(d, "device-uri");
    const std::string model = option(d, "printer-make-and-model");
    const bool served = servedByThePanel(model);
    if (options.json) {
      std::cout << comma() << "\n  {\"name\":" << jsonString(d.name)
                << ",\"deviceURI\":" << jsonString(uri) << ",\"model\":" << jsonString(model)
                << ",\"default\":" << (d.is_default ? "true" : "false")
                << ",\"served\":" << (served ? "true" : "false") << "}";
    } else {
      std::cout << d.name << (d.is_default ? tr(" (default)") : "") << "\n"
                << "  " << tr("device:") << " " << (uri.empty() ? "—" : uri) << "\n"
                << "  " << tr("model:") << " " << (model.empty() ? "—" : model) << "\n"
                << "  " << (served ? tr("Job Control: served") : tr("Job Control: not served"))
                << "\n";
    }
  }
  if (options.json) std::cout << (count ? "\n]\n" : "]\n");
  if (count == 0 && !options.json)
    std::cerr << "jobcontrol: "
              << tr("CUPS has no printer queues (add one with lpadmin, or use --demo)") << "\n";
  cupsFreeDests(count, dests);
  return std::cout.good() ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
