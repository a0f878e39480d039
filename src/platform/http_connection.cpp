// The HTTP front of the platform library: URL checks, and the connection that forwards to
// the libcurl transport module, loaded from beside this library on the first exchange.
#include <dlfcn.h>

#include <cctype>
#include <string>

#include "platform/http.h"
#include "platform/http_transport.h"

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
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return nullptr;
    return reinterpret_cast<HttpTransportStart>(::dlsym(module, kHttpTransportEntry));
  }();
  return start;
}

}  // namespace

HttpConnection::HttpConnection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

HttpConnection::~HttpConnection() = default;

void HttpConnection::cancel() {
  impl_->cancel();
}

bool HttpConnection::ended() const {
  return impl_->done();
}

std::unique_ptr<HttpConnection> HttpConnection::start(RunLoop& loop, const HttpRequest& request,
                                                      HttpConnectionDelegate& delegate) {
  HttpTransportStart start = transport();
  if (!start) return nullptr;
  std::unique_ptr<Impl> impl(start(&loop, &request, &delegate));
  if (!impl) return nullptr;
  return std::unique_ptr<HttpConnection>(new HttpConnection(std::move(impl)));
}

}  // namespace jc
