// The panel's choices as the standard IPP job attributes a driverless printer reads
// (job-password, job-account-id, job-accounting-user-id), for queues where no vendor
// filter reads our own keys: what the printer says it supports, and the mapping.
#pragma once

#include <cups/ppd.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

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

}  // namespace jc
