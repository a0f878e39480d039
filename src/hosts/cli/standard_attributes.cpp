// `print --ipp-attributes`: the panel's saved choices as standard IPP job attributes for
// driverless queues, read back the way the printer side reads our keys.
#include <iostream>

#include "hosts/cli/commands.h"
#include "hosts/cli/messages.h"
#include "hosts/cli/printer_side.h"

namespace jc::cli {

namespace {

// How long the printer may take to say what it supports: as long as CUPS itself waits
// for a printer to answer before it gives up on a Get-Printer-Attributes.
constexpr int kQueryTimeoutMs = 10000;

// The first value of `entry` as typed: the stored-key form, not the left-filled one.
std::optional<std::string> typed(const DecodeReport& report, const std::string& entry) {
  for (const DecodedValue& v : report.values)
    if (v.entry == entry && v.how == "stored key" && !v.value.empty()) return v.value;
  return std::nullopt;
}

std::optional<std::string> word(const DecodeReport& report, const std::string& entry) {
  for (const DecodedValue& v : report.values)
    if (v.entry == entry) return v.value;
  return std::nullopt;
}

}  // namespace

PanelJobChoices panelJobChoices(const DecodeReport& report) {
  PanelJobChoices choices;
  std::string retention = word(report, "retention").value_or("off");
  choices.retention = retention != "off";
  choices.samplePrint = retention == "sample";
  choices.filing = word(report, "filing").value_or("none") != "none";
  choices.passCode = typed(report, "pass-code");
  choices.accountNumber = typed(report, "account-number");
  choices.accountingUser = word(report, "auth") == std::optional<std::string>("number")
                               ? typed(report, "user-number")
                               : typed(report, "login-name");
  return choices;
}

std::optional<std::vector<std::pair<std::string, std::string>>> standardJobAttributes(
    const Session& session, const Options& options) {
  std::vector<std::pair<std::string, std::string>> none;
  StandardAttributesMode mode = options.ippAttributes.value_or(StandardAttributesMode::Auto);
  if (mode == StandardAttributesMode::Never) return none;
  bool vendorFilter = hasVendorFilter(session.callback->ppdFile());
  if (mode == StandardAttributesMode::Auto && vendorFilter) return none;

  Result<PlugInCodecs> codecs = loadPlugInCodecs(bundlePath(options));
  if (!codecs) {
    std::cerr << "jobcontrol: " << codecs.message() << "\n";
    return std::nullopt;
  }
  PanelJobChoices choices =
      panelJobChoices(decodeJobOptions(session.settings->entries(), *codecs, GivenPassCodes{}));

  std::string why;
  std::optional<StandardJobSupport> support;
  if (session.deviceURI) {
    Result<StandardJobSupport> asked = queryStandardJobSupport(*session.deviceURI, kQueryTimeoutMs);
    if (asked)
      support = std::move(*asked);
    else
      why = asked.message();
  } else {
    why = "the queue has no device address";
  }
  StandardAttributes mapped =
      mapStandardAttributes(choices, support, why, vendorFilter, backendHashesJobPassword(), mode);
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
