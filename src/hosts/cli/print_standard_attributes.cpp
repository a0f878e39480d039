// `print --ipp-attributes`: the panel's saved choices as standard IPP job attributes for
// driverless queues, with the command's notes and refusal on standard error.
#include "hosts/common/standard_attributes.h"

#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/messages.h"

namespace jc::cli {

std::optional<std::vector<std::pair<std::string, std::string>>> standardJobAttributes(
    const Session& session, const Options& options) {
  std::vector<std::pair<std::string, std::string>> none;
  StandardAttributesMode mode = options.ippAttributes.value_or(StandardAttributesMode::Auto);
  bool vendorFilter =
      mode != StandardAttributesMode::Never && hasVendorFilter(session.callback->ppdFile());
  if (!standardAttributesApply(mode, vendorFilter)) return none;

  Result<PlugInCodecs> codecs = loadPlugInCodecs(bundlePath(options));
  if (!codecs) {
    std::cerr << "jobcontrol: " << codecs.message() << "\n";
    return std::nullopt;
  }
  StandardAttributes mapped =
      standardAttributesForJob(session.settings->entries(), *codecs,
                               askPrinterSupport(session.deviceURI), vendorFilter, mode);
  // The fixed notes are in the command's catalogs; the ones naming the printer's own
  // answers stay as they are.
  for (const std::string& note : mapped.notes)
    std::cerr << "jobcontrol: " << tr("note:") << " " << tr(note.c_str()) << "\n";
  if (mapped.refusal) {
    std::cerr << "jobcontrol: " << *session.queue << ": " << *mapped.refusal
              << "; the job was not sent\n";
    return std::nullopt;
  }
  return mapped.options;
}

}  // namespace jc::cli
