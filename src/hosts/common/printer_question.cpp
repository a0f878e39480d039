// Get-Printer-Attributes for the standard job attributes, over the platform's HTTP
// transport rather than libcups' request loop: one deadline for the whole question, an
// answer of bounded size, few redirects, and no credentials, whatever the printer does.
#include <cups/cups.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "hosts/common/standard_attributes.h"
#include "platform/io/runloop.h"
#include "platform/net/http.h"

namespace jc {

namespace {

// An answer to five attributes takes a few hundred bytes; anything near this is not one.
constexpr std::size_t kMaxAnswerBytes = 1u << 20;
// A printer may move its service once or twice; more is a loop.
constexpr long kMaxRedirects = 3;

// Gathers the last response of one exchange.
struct Answer final : HttpConnectionDelegate {
  long status = 0;
  std::string body;
  bool finished = false;
  std::optional<HttpError> error;
  void connectionDidReceiveResponse(const HttpResponse& response) override {
    status = response.status;
    body.clear();
  }
  void connectionDidReceiveData(std::string_view data) override { body.append(data); }
  void connectionDidFinishLoading() override { finished = true; }
  void connectionDidFailWithError(const HttpError& e) override { error = e; }
};

std::string encoded(ipp_t* request) {
  std::string bytes;
  auto append = [](void* to, ipp_uchar_t* data, std::size_t n) -> ssize_t {
    static_cast<std::string*>(to)->append(reinterpret_cast<const char*>(data), n);
    return static_cast<ssize_t>(n);
  };
  ipp_state_t state;
  while ((state = ippWriteIO(&bytes, append, 1, nullptr, request)) != IPP_STATE_DATA)
    if (state == IPP_STATE_ERROR) return {};
  return bytes;
}

// The IPP message in `bytes`, or nullptr when they are not one.
ipp_t* decoded(const std::string& bytes) {
  struct Cursor {
    const std::string& bytes;
    std::size_t at = 0;
  } cursor{bytes};
  auto read = [](void* from, ipp_uchar_t* data, std::size_t n) -> ssize_t {
    auto* c = static_cast<Cursor*>(from);
    std::size_t count = std::min(n, c->bytes.size() - c->at);
    std::copy_n(c->bytes.data() + c->at, count, data);
    c->at += count;
    return static_cast<ssize_t>(count);
  };
  ipp_t* message = ippNew();
  ipp_state_t state;
  while ((state = ippReadIO(&cursor, read, 1, nullptr, message)) != IPP_STATE_DATA)
    if (state == IPP_STATE_ERROR || cursor.at == bytes.size()) {
      ippDelete(message);
      return nullptr;
    }
  return message;
}

Result<StandardJobSupport> refusal(const std::string& address, const std::string& what) {
  return Refusal{"the printer at " + address + " " + what};
}

// Why an exchange gave no answer, in words a user can act on.
std::string failure(const Answer& answer, int timeoutMs) {
  if (!answer.error || answer.error->code == 28)  // CURLE_OPERATION_TIMEDOUT
    return "did not answer within " + std::to_string((timeoutMs + 999) / 1000) + " s";
  if (answer.error->code == 47)  // CURLE_TOO_MANY_REDIRECTS
    return "sent the question on more than " + std::to_string(kMaxRedirects) +
           " redirects; it was not followed further";
  if (answer.error->code == -1)
    return "sent more than " + std::to_string(kMaxAnswerBytes >> 20) +
           " MiB in answer; the rest was not read";
  return "did not answer Get-Printer-Attributes: " + answer.error->message.substr(0, 200);
}

// The values of a string attribute whatever its type (keyword, name, text, octets), in
// ASCII lower case: printers differ in the tag they send.
std::vector<std::string> stringValues(ipp_attribute_t* attribute) {
  std::vector<std::string> values;
  for (int i = 0; i < ippGetCount(attribute); ++i) {
    std::string value;
    if (const char* text = ippGetString(attribute, i, nullptr)) {
      value = text;
    } else if (ippGetValueTag(attribute) == IPP_TAG_STRING) {
      int length = 0;
      const void* data = ippGetOctetString(attribute, i, &length);
      if (data) value.assign(static_cast<const char*>(data), static_cast<std::size_t>(length));
    } else {
      continue;
    }
    for (char& c : value)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    values.push_back(std::move(value));
  }
  return values;
}

StandardJobSupport supportIn(ipp_t* response) {
  StandardJobSupport support;
  if (ipp_attribute_t* a = ippFindAttribute(response, "job-password-supported", IPP_TAG_INTEGER))
    support.passwordMaxOctets = ippGetInteger(a, 0);
  if (ipp_attribute_t* a =
          ippFindAttribute(response, "job-password-encryption-supported", IPP_TAG_ZERO))
    support.passwordEncryptions = stringValues(a);
  if (ipp_attribute_t* a =
          ippFindAttribute(response, "job-password-length-supported", IPP_TAG_RANGE)) {
    int upper = 0;
    int lower = ippGetRange(a, 0, &upper);
    support.passwordLength = std::make_pair(lower, upper);
  }
  if (ipp_attribute_t* a = ippFindAttribute(response, "job-account-id-supported", IPP_TAG_BOOLEAN))
    support.accountId = ippGetBoolean(a, 0);
  if (ipp_attribute_t* a =
          ippFindAttribute(response, "job-accounting-user-id-supported", IPP_TAG_BOOLEAN))
    support.accountingUserId = ippGetBoolean(a, 0);
  return support;
}

// The Get-Printer-Attributes request for `printerURI`, as bytes.
std::string questionFor(const std::string& printerURI) {
  std::unique_ptr<ipp_t, decltype(&ippDelete)> request(ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES),
                                                       ippDelete);
  ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               printerURI.c_str());
  static const char* const kWanted[] = {"job-password-supported",
                                        "job-password-encryption-supported",
                                        "job-password-length-supported", "job-account-id-supported",
                                        "job-accounting-user-id-supported"};
  ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kWanted)), nullptr, kWanted);
  return encoded(request.get());
}

}  // namespace

bool isIppAddress(const std::string& deviceURI) {
  return deviceURI.rfind("ipp://", 0) == 0 || deviceURI.rfind("ipps://", 0) == 0;
}

Result<StandardJobSupport> queryStandardJobSupport(const std::string& deviceURI, int timeoutMs) {
  const auto deadline = RunLoop::Clock::now() + std::chrono::milliseconds(timeoutMs);
  char scheme[32], user[256], host[256], resource[1024];
  int port = 0;
  if (!isIppAddress(deviceURI) ||
      httpSeparateURI(HTTP_URI_CODING_ALL, deviceURI.c_str(), scheme, sizeof scheme, user,
                      sizeof user, host, sizeof host, &port, resource,
                      sizeof resource) < HTTP_URI_STATUS_OK) {
    return Refusal{"the queue's device " + deviceURI + " is not an IPP printer address"};
  }
  // The user name and password a device address may carry belong to CUPS's backend: the
  // question goes without them.
  std::string hostPart = std::string(host).find(':') == std::string::npos
                             ? std::string(host)
                             : "[" + std::string(host) + "]";
  std::string address = hostPart + ":" + std::to_string(port);
  bool secure = std::string(scheme) == "ipps";
  char printerURI[1024];
  httpAssembleURI(HTTP_URI_CODING_ALL, printerURI, sizeof printerURI, scheme, nullptr, host, port,
                  resource);

  HttpRequest request;
  request.url = (secure ? "https://" : "http://") + address + resource;
  request.headers = {{"Content-Type", "application/ipp"}};
  request.body = questionFor(printerURI);
  request.timeout = std::chrono::milliseconds(timeoutMs);
  request.maxBodyBytes = kMaxAnswerBytes;
  request.maxRedirects = kMaxRedirects;
  // A printer's certificate is its own, made by itself: the question carries no secret,
  // and CUPS's backend takes such a printer as it is.
  request.verifyPeer = false;

  PollRunLoop loop;  // serves this question only
  Answer answer;
  std::unique_ptr<HttpConnection> connection = HttpConnection::start(loop, request, answer);
  if (!connection) return refusal(address, "could not be asked: no connection could be made");
  loop.runUntil([&] { return connection->ended(); }, deadline);
  connection->cancel();
  if (!answer.finished) return refusal(address, failure(answer, timeoutMs));
  if (answer.status == 401 || answer.status == 407)
    return refusal(address, "asks for a user name and password, which are never given to it");
  if (answer.status != 200)
    return refusal(address, "answered Get-Printer-Attributes with HTTP status " +
                                std::to_string(answer.status));
  std::unique_ptr<ipp_t, decltype(&ippDelete)> response(decoded(answer.body), ippDelete);
  if (!response) return refusal(address, "answered with something that is not IPP");
  if (ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING)
    return refusal(address, std::string("refused Get-Printer-Attributes: ") +
                                ippErrorString(ippGetStatusCode(response.get())));
  return supportIn(response.get());
}

}  // namespace jc
