// The panel's saved job options as standard IPP job attributes, for either host: when to
// look at all, asking the queue's printer (which blocks), and the mapping of what the
// printer side reads from the options.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "hosts/common/printer_side.h"
#include "platform/standard_job_attributes.h"

namespace jc {

/// How long a printer may take to say what it supports: as long as CUPS itself waits for
/// a printer to answer before it gives up on a Get-Printer-Attributes.
constexpr int kStandardQueryTimeoutMs = 10000;

/// Whether `mode` looks at the standard attributes for a queue with (or without) a vendor
/// filter: never in Never mode, nor in Auto mode where the queue's filter reads our keys.
bool standardAttributesApply(StandardAttributesMode mode, bool vendorFilter);

/// What a queue's printer said it supports; without an answer, why not.
struct PrinterAnswer {
  std::optional<StandardJobSupport> support;
  std::string why;
};

/// Asks the printer at the queue's `deviceURI`. Blocks up to twice `timeoutMs`; safe to
/// call from a worker thread.
PrinterAnswer askPrinterSupport(const std::optional<std::string>& deviceURI,
                                int timeoutMs = kStandardQueryTimeoutMs);

/// The choices of a decoded job that standard IPP job attributes can carry: retention,
/// filing, the pass code, account number and the login name or user number (as typed).
PanelJobChoices panelJobChoices(const DecodeReport& report);

/// The standard attributes for the job options `options` the panel saved, read back with
/// the plug-in's `codecs` as the printer side reads them, for a printer that gave `answer`.
/// Notes are in English, for the host to translate.
StandardAttributes standardAttributesForJob(const std::map<std::string, std::string>& options,
                                            const PlugInCodecs& codecs, const PrinterAnswer& answer,
                                            bool vendorFilter, StandardAttributesMode mode);

}  // namespace jc
