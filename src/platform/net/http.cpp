// The HTTP front of the platform library: URL checks, and the connection that forwards to
// the libcurl transport module, loaded from beside this library on the first exchange.
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <utility>

#include "platform/net/http.h"
#include "platform/net/http_transport.h"

namespace jc {

bool isWellFormedURL(std::string_view text) {
  // scheme = ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ), then ":".
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  if (!std::isalpha(static_cast<unsigned char>(text[0]))) return false;
  for (std::size_t i = 1; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  static constexpr std::string_view kAllowed =
      "-._~:/?#[]@!$&'()*+,;=";  // unreserved punctuation, then the reserved characters
  for (std::size_t i = colon + 1; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '%') {
      if (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])) ||
          !std::isxdigit(static_cast<unsigned char>(text[i + 2])))
        return false;
      i += 2;
      continue;
    }
    if (c < 0x80 && std::isalnum(c)) continue;
    if (kAllowed.find(static_cast<char>(c)) == std::string_view::npos) return false;
  }
  return true;
}

namespace {

// The transport's entry point, looked up once. The module is taken only from the folder
// this library was loaded from, by absolute path, so nothing in the working directory or
// a search path can stand in for it. nullptr when it cannot be loaded.
HttpTransportStart transport() {
  static const HttpTransportStart start = []() -> HttpTransportStart {
    Dl_info self{};
    if (::dladdr(reinterpret_cast<void*>(&transport), &self) == 0 || !self.dli_fname ||
        self.dli_fname[0] != '/')
      return nullptr;
    std::string path = self.dli_fname;
    path.resize(path.rfind('/') + 1);
    path += kHttpTransportModule;
    // Lazy binding: libcurl and its many libraries bind only what an exchange calls, not
    // every symbol they could reach (the module itself is linked with no undefined symbols).
    void* module = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!module) return nullptr;
    return reinterpret_cast<HttpTransportStart>(::dlsym(module, kHttpTransportEntry));
  }();
  return start;
}

}  // namespace

namespace {

std::function<void(HttpExchangeEnd)>& exchangeObserver() {
  static std::function<void(HttpExchangeEnd)> observer;
  return observer;
}

void tellObserver(HttpExchangeEnd end) {
  if (exchangeObserver()) exchangeObserver()(std::move(end));
}

}  // namespace

void setHttpExchangeObserver(std::function<void(HttpExchangeEnd)> observer) {
  exchangeObserver() = std::move(observer);
}

// Stands between the transport and the caller's delegate, so the process's observer hears
// how every exchange ended, whichever module ran it.
struct HttpConnection::Observing final : HttpConnectionDelegate {
  Observing(std::string u, std::size_t limit, HttpConnectionDelegate& d)
      : url(std::move(u)), maxBodyBytes(limit), delegate(d) {}

  void connectionDidReceiveResponse(const HttpResponse& response) override {
    status = response.status;
    body.clear();
    // Sized once from the declared length, rather than grown by doubling.
    if (exchangeObserver() && response.declaredLength > 0)
      body.reserve(static_cast<std::size_t>(
          std::min<long long>(response.declaredLength, static_cast<long long>(maxBodyBytes))));
    delegate.connectionDidReceiveResponse(response);
  }
  void connectionDidReceiveData(std::string_view data) override {
    if (exchangeObserver()) body.append(data);
    delegate.connectionDidReceiveData(data);
  }
  void connectionDidFinishLoading() override {
    end(HttpExchangeEnd::Outcome::Finished, "");
    delegate.connectionDidFinishLoading();
  }
  void connectionDidFailWithError(const HttpError& error) override {
    end(HttpExchangeEnd::Outcome::Failed, error.message);
    delegate.connectionDidFailWithError(error);
  }
  void end(HttpExchangeEnd::Outcome outcome, std::string message) {
    if (ended) return;
    ended = true;
    tellObserver({url, outcome, status, std::move(message),
                  outcome == HttpExchangeEnd::Outcome::Finished ? std::move(body) : ""});
  }

  std::string url;
  std::size_t maxBodyBytes;
  HttpConnectionDelegate& delegate;
  long status = 0;
  std::string body;  // the last response's, kept only while an observer listens
  bool ended = false;
};

HttpConnection::HttpConnection(std::unique_ptr<Observing> observing, std::unique_ptr<Impl> impl)
    : observing_(std::move(observing)), impl_(std::move(impl)) {}

HttpConnection::~HttpConnection() {
  cancel();
}

void HttpConnection::cancel() {
  if (!impl_->done()) observing_->end(HttpExchangeEnd::Outcome::Cancelled, "");
  impl_->cancel();
}

bool HttpConnection::ended() const {
  return impl_->done();
}

std::unique_ptr<HttpConnection> HttpConnection::start(RunLoop& loop, const HttpRequest& request,
                                                      HttpConnectionDelegate& delegate) {
  auto observing = std::make_unique<Observing>(request.url, request.maxBodyBytes, delegate);
  HttpTransportStart start = transport();
  std::unique_ptr<Impl> impl(start ? start(&loop, &request, observing.get()) : nullptr);
  if (!impl) {
    tellObserver({request.url, HttpExchangeEnd::Outcome::NotStarted, 0, "", ""});
    return nullptr;
  }
  return std::unique_ptr<HttpConnection>(new HttpConnection(std::move(observing), std::move(impl)));
}

}  // namespace jc
