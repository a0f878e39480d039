// The standard-attribute policy: whether a queue has a vendor filter, and the mapping of
// the panel's choices to attributes for what its printer answered.
#include "hosts/common/standard_attributes.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <memory>
#include <sstream>

namespace jc {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

// The printer's own words in a message: the first few, each cut short, then how many
// more. A printer may send thousands of values, or values of any length.
std::string printerList(const std::vector<std::string>& list) {
  constexpr std::size_t kShown = 5, kLongest = 40;
  std::string text;
  for (std::size_t i = 0; i < list.size() && i < kShown; ++i) {
    std::string word = list[i].size() > kLongest ? list[i].substr(0, kLongest) + "…" : list[i];
    text += (text.empty() ? "" : ", ") + word;
  }
  if (list.size() > kShown) text += " and " + std::to_string(list.size() - kShown) + " more";
  return text;
}

// The digests libcups computes for the backend, strongest first: the SHA-2 family, then
// SHA-1, md5 last.
constexpr std::array<const char*, 8> kDigests = {
    "sha2-512", "sha2-384", "sha2-256", "sha2-512_256", "sha2-224", "sha2-512_224", "sha", "md5"};

// Whether this system's libcups, which the backend digests with, knows `digest`.
bool computes(const char* digest) {
  unsigned char hash[64];
  return cupsHashData(digest, "0", 1, hash, sizeof hash) > 0;
}

}  // namespace

std::optional<StandardAttributesMode> parseStandardAttributesMode(const std::string& text) {
  if (text == "auto") return StandardAttributesMode::Auto;
  if (text == "always") return StandardAttributesMode::Always;
  if (text == "never") return StandardAttributesMode::Never;
  return std::nullopt;
}

bool hasVendorFilter(ppd_file_t* ppd) {
  if (!ppd) return false;
  // A PPD that CUPS made from a driverless printer's own answers names no real filter,
  // but say so explicitly: its file name is fixed.
  if (ppd->pcfilename && std::string(ppd->pcfilename) == "ippeve.ppd") return false;
  for (const char* name : {"cupsFilter", "cupsFilter2"})
    for (ppd_attr_t* attr = ppdFindAttr(ppd, name, nullptr); attr;
         attr = ppdFindNextAttr(ppd, name, nullptr)) {
      if (!attr->value) continue;
      std::istringstream words(attr->value);
      std::string word, program;
      while (words >> word) program = word;
      if (!program.empty() && program != "-") return true;
    }
  return false;
}

bool backendHashesJobPassword() {
  // The ipp backend adds job-password through libcups' conversion of the job's options,
  // which digests the code as job-password-encryption names (Debian 12's 2.4.2 sends the
  // sha2-256 digest of "1234" for it). The job's options themselves, as the backend and a
  // filter receive them (argv[5], cupsd's log), always hold the clear code.
  return CUPS_VERSION_MAJOR > 2 || (CUPS_VERSION_MAJOR == 2 && CUPS_VERSION_MINOR >= 3);
}

namespace {

// The encryption a pass code goes with to a printer that offers `offered`: the strongest
// digest the backend makes, else "none" when the printer takes that; empty when neither.
std::string chosenEncryption(const std::vector<std::string>& offered, bool backendHashes) {
  if (backendHashes)
    for (const char* digest : kDigests)
      if (contains(offered, digest) && computes(digest)) return digest;
  return contains(offered, "none") ? "none" : "";
}

// Adds the pass code to `out` within the printer's limits, or refuses the job. False when
// the job is refused.
bool mapPassCode(const std::string& code, const std::optional<StandardJobSupport>& support,
                 bool sendAll, bool backendHashes, StandardAttributes& out) {
  int length = static_cast<int>(code.size());
  if (!sendAll && support->passwordMaxOctets <= 0) {
    out.notes.push_back(
        "the printer takes no job password: the pass code was not sent as job-password");
    return true;
  }
  if (support && support->passwordLength &&
      (length < support->passwordLength->first || length > support->passwordLength->second)) {
    out.refusal = "the printer takes job passwords of " +
                  std::to_string(support->passwordLength->first) + " to " +
                  std::to_string(support->passwordLength->second) +
                  " characters; the pass code has " + std::to_string(length);
    return false;
  }
  if (support && support->passwordMaxOctets > 0 && length > support->passwordMaxOctets) {
    out.refusal = "the printer takes job passwords of at most " +
                  std::to_string(support->passwordMaxOctets) + " characters; the pass code has " +
                  std::to_string(length);
    return false;
  }
  // A printer that names no encryption takes the password as it is.
  std::vector<std::string> offered = {"none"};
  if (support && !support->passwordEncryptions.empty())
    offered = support->passwordEncryptions;
  else if (support)
    out.notes.push_back(
        "the printer names no job-password encryption: the pass code goes to it in the clear");
  std::string chosen = chosenEncryption(offered, backendHashes);
  if (chosen.empty()) {
    out.refusal = "the printer takes job passwords only as " + printerList(offered) +
                  ", none of which the CUPS backend of this system can send";
    return false;
  }
  out.options.emplace_back("job-password", code);
  out.options.emplace_back("job-password-encryption", chosen);
  return true;
}

}  // namespace

StandardAttributes mapStandardAttributes(const PanelJobChoices& choices,
                                         const PrinterAnswer& answer, bool vendorFilter,
                                         bool backendHashes, StandardAttributesMode mode) {
  StandardAttributes out;
  if (mode == StandardAttributesMode::Never) return out;
  // The vendor's filter reads every choice from our own keys.
  if (mode == StandardAttributesMode::Auto && vendorFilter) return out;
  const std::optional<StandardJobSupport>& support = answer.support;
  bool held = choices.retention && choices.passCode;
  if (mode == StandardAttributesMode::Auto && !support) {
    // Without a job password the printer prints the job at once: a job that asked to be
    // held goes only when the person says so.
    if (held && !answer.nothingToAsk) {
      out.refusal = answer.why;
      out.wouldPrintUnheld = true;
    } else if (held || choices.accountNumber || choices.accountingUser) {
      out.notes.push_back("standard job attributes not sent: " + answer.why);
    }
    return out;
  }
  bool sendAll = mode == StandardAttributesMode::Always;

  if (held && !mapPassCode(*choices.passCode, support, sendAll, backendHashes, out)) return out;
  if (choices.accountNumber) {
    if (sendAll || support->accountId)
      out.options.emplace_back("job-account-id", *choices.accountNumber);
    else
      out.notes.push_back("the printer takes no job-account-id: the account number was not sent");
  }
  if (choices.accountingUser) {
    if (sendAll || support->accountingUserId)
      out.options.emplace_back("job-accounting-user-id", *choices.accountingUser);
    else
      out.notes.push_back(
          "the printer takes no job-accounting-user-id: the login name or user number was not "
          "sent");
  }
  // Without the vendor's filter these choices reach nobody.
  if (!vendorFilter && choices.filing)
    out.notes.push_back(
        "document filing has no standard job attribute: this printer will not file the job");
  if (!vendorFilter && choices.samplePrint)
    out.notes.push_back(
        "a sample print has no standard job attribute: this printer does not print a sample "
        "first");
  return out;
}

}  // namespace jc
