// The host-independent half of the standard IPP job attributes: the printer's answer and
// the panel's choices read back from its saved options.
#include "hosts/common/standard_attributes.h"

namespace jc {

namespace {

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

bool standardAttributesApply(StandardAttributesMode mode, bool vendorFilter) {
  return mode == StandardAttributesMode::Always ||
         (mode == StandardAttributesMode::Auto && !vendorFilter);
}

PrinterAnswer askPrinterSupport(const std::optional<std::string>& deviceURI, int timeoutMs) {
  PrinterAnswer answer;
  if (!deviceURI) {
    answer.why = "the queue has no device address";
    answer.nothingToAsk = true;
  } else if (!isIppAddress(*deviceURI)) {
    answer.why = "the queue's device " + *deviceURI + " is not an IPP printer address";
    answer.nothingToAsk = true;
  } else if (Result<StandardJobSupport> asked = queryStandardJobSupport(*deviceURI, timeoutMs)) {
    answer.support = std::move(*asked);
  } else {
    answer.why = asked.message();
  }
  return answer;
}

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

StandardAttributes standardAttributesForJob(const std::map<std::string, std::string>& options,
                                            const PlugInCodecs& codecs, const PrinterAnswer& answer,
                                            bool vendorFilter, StandardAttributesMode mode) {
  PanelJobChoices choices = panelJobChoices(decodeJobOptions(options, codecs, GivenPassCodes{}));
  return mapStandardAttributes(choices, answer, vendorFilter, backendHashesJobPassword(), mode);
}

}  // namespace jc
