// The standard-attribute policy: the printer's answer to Get-Printer-Attributes, whether a
// queue has a vendor filter, and the mapping of the panel's choices to attributes.
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

std::string joined(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& word : list) text += (text.empty() ? "" : ", ") + word;
  return text;
}

// The digests the backend computes itself, strongest first.
constexpr std::array<const char*, 6> kDigests = {"sha2-512", "sha2-384", "sha2-256",
                                                 "sha2-224", "sha",      "md5"};

}  // namespace

std::optional<StandardAttributesMode> parseStandardAttributesMode(const std::string& text) {
  if (text == "auto") return StandardAttributesMode::Auto;
  if (text == "always") return StandardAttributesMode::Always;
  if (text == "never") return StandardAttributesMode::Never;
  return std::nullopt;
}

Result<StandardJobSupport> queryStandardJobSupport(const std::string& deviceURI, int timeoutMs) {
  char scheme[32], user[256], host[256], resource[1024];
  int port = 0;
  if (httpSeparateURI(HTTP_URI_CODING_ALL, deviceURI.c_str(), scheme, sizeof scheme, user,
                      sizeof user, host, sizeof host, &port, resource,
                      sizeof resource) < HTTP_URI_STATUS_OK ||
      (std::string(scheme) != "ipp" && std::string(scheme) != "ipps")) {
    return Refusal{"the queue's device " + deviceURI + " is not an IPP printer address"};
  }
  std::string address = std::string(host) + ":" + std::to_string(port);
  std::unique_ptr<http_t, decltype(&httpClose)> http(
      httpConnect2(
          host, port, nullptr, AF_UNSPEC,
          std::string(scheme) == "ipps" ? HTTP_ENCRYPTION_ALWAYS : HTTP_ENCRYPTION_IF_REQUESTED, 1,
          timeoutMs, nullptr),
      httpClose);
  if (!http) {
    return Refusal{"the printer at " + address + " did not answer within " +
                   std::to_string(timeoutMs / 1000) + " s"};
  }
  httpSetTimeout(http.get(), timeoutMs / 1000.0, nullptr, nullptr);

  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, deviceURI.c_str());
  static const char* const kWanted[] = {"job-password-supported",
                                        "job-password-encryption-supported",
                                        "job-password-length-supported", "job-account-id-supported",
                                        "job-accounting-user-id-supported"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kWanted)), nullptr, kWanted);
  std::unique_ptr<ipp_t, decltype(&ippDelete)> response(
      cupsDoRequest(http.get(), request, resource), ippDelete);
  if (!response || cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
    return Refusal{"the printer at " + address +
                   " did not answer Get-Printer-Attributes: " + cupsLastErrorString()};
  }

  StandardJobSupport support;
  if (ipp_attribute_t* a =
          ippFindAttribute(response.get(), "job-password-supported", IPP_TAG_INTEGER))
    support.passwordMaxOctets = ippGetInteger(a, 0);
  if (ipp_attribute_t* a =
          ippFindAttribute(response.get(), "job-password-encryption-supported", IPP_TAG_KEYWORD))
    for (int i = 0; i < ippGetCount(a); ++i)
      support.passwordEncryptions.emplace_back(ippGetString(a, i, nullptr));
  if (ipp_attribute_t* a =
          ippFindAttribute(response.get(), "job-password-length-supported", IPP_TAG_RANGE)) {
    int upper = 0;
    int lower = ippGetRange(a, 0, &upper);
    support.passwordLength = std::make_pair(lower, upper);
  }
  if (ipp_attribute_t* a =
          ippFindAttribute(response.get(), "job-account-id-supported", IPP_TAG_BOOLEAN))
    support.accountId = ippGetBoolean(a, 0);
  if (ipp_attribute_t* a =
          ippFindAttribute(response.get(), "job-accounting-user-id-supported", IPP_TAG_BOOLEAN))
    support.accountingUserId = ippGetBoolean(a, 0);
  return support;
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
  // The 2.4 backend sends the pass code unchanged beside a digest keyword (seen on Debian
  // 12's 2.4.2); later series are taken to digest it as the keyword says.
  return CUPS_VERSION_MAJOR > 2 || (CUPS_VERSION_MAJOR == 2 && CUPS_VERSION_MINOR >= 5);
}

StandardAttributes mapStandardAttributes(const PanelJobChoices& choices,
                                         const std::optional<StandardJobSupport>& support,
                                         const std::string& unknownWhy, bool vendorFilter,
                                         bool backendHashes, StandardAttributesMode mode) {
  StandardAttributes out;
  if (mode == StandardAttributesMode::Never) return out;
  // The vendor's filter reads every choice from our own keys.
  if (mode == StandardAttributesMode::Auto && vendorFilter) return out;
  bool anything =
      (choices.retention && choices.passCode) || choices.accountNumber || choices.accountingUser;
  if (mode == StandardAttributesMode::Auto && !support) {
    if (anything) out.notes.push_back("standard job attributes not sent: " + unknownWhy);
    return out;
  }
  bool sendAll = mode == StandardAttributesMode::Always;

  if (choices.retention && choices.passCode) {
    const std::string& code = *choices.passCode;
    int length = static_cast<int>(code.size());
    if (!sendAll && support->passwordMaxOctets <= 0) {
      out.notes.push_back(
          "the printer takes no job password: the pass code was not sent as job-password");
    } else if (support && support->passwordLength &&
               (length < support->passwordLength->first ||
                length > support->passwordLength->second)) {
      out.refusal = "the printer takes job passwords of " +
                    std::to_string(support->passwordLength->first) + " to " +
                    std::to_string(support->passwordLength->second) +
                    " characters; the pass code has " + std::to_string(length);
      return out;
    } else if (support && support->passwordMaxOctets > 0 && length > support->passwordMaxOctets) {
      out.refusal = "the printer takes job passwords of at most " +
                    std::to_string(support->passwordMaxOctets) + " characters; the pass code has " +
                    std::to_string(length);
      return out;
    } else {
      // A printer that lists no encryption takes the password as it is.
      std::vector<std::string> offered = support && !support->passwordEncryptions.empty()
                                             ? support->passwordEncryptions
                                             : std::vector<std::string>{"none"};
      std::string chosen;
      if (backendHashes)
        for (const char* digest : kDigests)
          if (contains(offered, digest)) {
            chosen = digest;
            break;
          }
      if (chosen.empty() && contains(offered, "none")) chosen = "none";
      if (chosen.empty()) {
        out.refusal = "the printer takes job passwords only as " + joined(offered) +
                      ", which the CUPS backend of this system does not compute";
        return out;
      }
      out.options.emplace_back("job-password", code);
      out.options.emplace_back("job-password-encryption", chosen);
    }
  }
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
