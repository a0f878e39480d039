// `print --ipp-attributes`: the panel's saved choices as standard IPP job attributes for
// driverless queues, with the command's notes and refusal on standard error.
#include "hosts/common/standard_attributes.h"

#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/common/messages.h"
#include "hosts/common/terminal_text.h"

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
  // answers stay as they are, escaped: they may hold anything the printer sent.
  for (const std::string& note : mapped.notes)
    std::cerr << "jobcontrol: " << tr("note:") << " " << terminalText(tr(note.c_str())) << "\n";
  if (mapped.refusal && mapped.wouldPrintUnheld) {
    std::cerr << "jobcontrol: "
              << subst(tr("%1: the job asks to be held with a pass code, but the printer gave no "
                          "usable answer (%2), so it would print at once; the job was not sent. "
                          "--ipp-attributes=never prints it without holding it"),
                       {*session.queue, terminalText(*mapped.refusal)})
              << "\n";
  } else if (mapped.refusal) {
    std::cerr << "jobcontrol: " << *session.queue << ": " << terminalText(*mapped.refusal)
              << "; the job was not sent\n";
  }
  if (mapped.refusal) return std::nullopt;
  return mapped.options;
}

}  // namespace jc::cli
