// The panel's choices as the standard IPP job attributes a driverless printer reads
// (job-password, job-account-id, job-accounting-user-id), for queues where no vendor filter
// reads our own keys, for every host: when to look at all, asking the queue's printer
// (which blocks), what it says it supports, and the mapping of what the printer side reads
// from the saved options.
#pragma once

#include <cups/ppd.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hosts/common/printer_side.h"
#include "platform/base/result.h"

namespace jc {

/// When a host adds the standard attributes to a job.
enum class StandardAttributesMode {
  Auto,    ///< only on a queue without a vendor filter, for what the printer advertises
  Always,  ///< on every queue, whatever the printer advertises
  Never,   ///< not at all
};

/// "auto", "always" or "never" as a mode; nullopt for any other text.
std::optional<StandardAttributesMode> parseStandardAttributesMode(const std::string& text);

/// What a printer advertises for the standard job attributes (Get-Printer-Attributes).
struct StandardJobSupport {
  int passwordMaxOctets = 0;                          ///< job-password-supported; 0: none
  std::vector<std::string> passwordEncryptions;       ///< job-password-encryption-supported
  std::optional<std::pair<int, int>> passwordLength;  ///< job-password-length-supported
  bool accountId = false;                             ///< job-account-id-supported
  bool accountingUserId = false;                      ///< job-accounting-user-id-supported
};

/// Asks the printer at `deviceURI` (ipp:// or ipps://) what it supports, waiting at most
/// `timeoutMs` to connect and as long again for the answer. Refuses, with a reason naming
/// the address, when the URI is not an IPP address or the printer does not answer.
Result<StandardJobSupport> queryStandardJobSupport(const std::string& deviceURI, int timeoutMs);

/// Whether the queue's PPD runs a vendor filter that reads our own keys: a PPD that names
/// a filter program, and is not one CUPS generated for a driverless printer. A null PPD
/// has none.
bool hasVendorFilter(ppd_file_t* ppd);

/// The panel's choices as saved, as far as standard attributes can carry them.
struct PanelJobChoices {
  bool retention = false;                     ///< retention on (any mode)
  bool samplePrint = false;                   ///< retention is a sample print
  bool filing = false;                        ///< document filing chosen
  std::optional<std::string> passCode;        ///< the retention pass code's digits
  std::optional<std::string> accountNumber;   ///< the account number
  std::optional<std::string> accountingUser;  ///< the login name or the user number
};

/// The outcome of the mapping: the job options to add, notes for the user, or a refusal.
struct StandardAttributes {
  std::vector<std::pair<std::string, std::string>> options;  ///< e.g. {"job-account-id", "42"}
  std::vector<std::string> notes;      ///< what was not sent, and why (English; hosts translate)
  std::optional<std::string> refusal;  ///< the job must not be sent, and why
};

/// Whether the CUPS ipp backend on this system hashes a pass code itself when a digest is
/// named in job-password-encryption. Older backends send the text as given, which a
/// printer would read as the digest, so the job could never be released.
bool backendHashesJobPassword();

/// Maps `choices` to standard job attributes for a printer that advertises `support`
/// (nullopt: it did not answer, with the reason in `unknownWhy`). `vendorFilter` says
/// whether the queue's own filter reads our keys; `backendHashes` whether the backend
/// digests a pass code (see backendHashesJobPassword). In Auto mode nothing is sent on a
/// queue with a vendor filter or for what the printer does not advertise; Always sends
/// every mapped attribute (still within the printer's advertised limits). A pass code is
/// sent with a digest the printer offers when the backend computes it, else in the clear
/// with "none" when the printer accepts that; a pass code outside the printer's length
/// limits, or with no usable encryption, refuses the job.
StandardAttributes mapStandardAttributes(const PanelJobChoices& choices,
                                         const std::optional<StandardJobSupport>& support,
                                         const std::string& unknownWhy, bool vendorFilter,
                                         bool backendHashes, StandardAttributesMode mode);

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
