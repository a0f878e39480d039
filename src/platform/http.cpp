// HTTP exchanges over libcurl's multi socket interface: libcurl tells us which sockets
// and which time-out to wait for, the run loop waits, and we hand the events back.
#include "platform/http.h"

#include <curl/curl.h>
#include <poll.h>

#include <cctype>
#include <map>

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

void initCurlOnce() {
  static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
  (void)done;
}

std::function<void(const HttpExchangeEnd&)>& exchangeObserver() {
  static std::function<void(const HttpExchangeEnd&)> observer;
  return observer;
}

void tellObserver(const std::string& url, HttpExchangeEnd::Outcome outcome, long status,
                  std::string message, std::string body = {}) {
  if (exchangeObserver())
    exchangeObserver()({url, outcome, status, std::move(message), std::move(body)});
}

}  // namespace

void setHttpExchangeObserver(std::function<void(const HttpExchangeEnd&)> observer) {
  exchangeObserver() = std::move(observer);
}

struct HttpConnection::Impl {
  Impl(RunLoop& l, HttpConnectionDelegate& d) : loop(l), delegate(d) {}
  ~Impl() { teardown(); }

  RunLoop& loop;
  HttpConnectionDelegate& delegate;
  std::string requestURL;  // for the exchange observer
  std::string lastBody;    // kept only while an observer is installed
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  CURLU* url = nullptr;
  curl_slist* headers = nullptr;
  std::string body;  // libcurl reads the body from here while sending
  char errorText[CURL_ERROR_SIZE] = {};
  std::map<curl_socket_t, RunLoop::Id> watches;
  RunLoop::Id timer = 0;
  std::size_t maxBodyBytes = 0;
  std::size_t bodyBytes = 0;
  bool overLimit = false;
  bool statusSeen = false;  // a status line came, its blank line has not
  long status = 0;
  bool attached = false;  // the easy handle is in the multi handle
  bool ended = false;
  int inCurl = 0;  // depth of calls into libcurl; removal waits until it is 0

  // Leaves libcurl with nothing to do and the run loop with nothing of ours.
  void detach() {
    if (attached) {
      attached = false;
      curl_multi_remove_handle(multi, easy);
    }
    for (auto& [fd, id] : watches) loop.removeWatch(id);
    watches.clear();
    if (timer) loop.cancelTimer(timer);
    timer = 0;
  }

  void teardown() {
    detach();
    if (multi) {
      curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, nullptr);
      curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, nullptr);
    }
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    if (url) curl_url_cleanup(url);
    if (headers) curl_slist_free_all(headers);
    easy = nullptr;
    multi = nullptr;
    url = nullptr;
    headers = nullptr;
  }

  void act(curl_socket_t fd, int mask) {
    if (!attached) return;
    int running = 0;
    ++inCurl;
    curl_multi_socket_action(multi, fd, mask, &running);
    --inCurl;
    if (ended) {  // cancelled from inside a callback
      detach();
      return;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
      if (msg->msg != CURLMSG_DONE || msg->easy_handle != easy) continue;
      CURLcode result = msg->data.result;
      ended = true;
      detach();
      using Outcome = HttpExchangeEnd::Outcome;
      if (result == CURLE_OK) {
        tellObserver(requestURL, Outcome::Finished, status, "", std::move(lastBody));
        delegate.connectionDidFinishLoading();
      } else if (overLimit) {
        std::string message =
            "response body larger than " + std::to_string(maxBodyBytes) + " bytes";
        tellObserver(requestURL, Outcome::Failed, status, message);
        delegate.connectionDidFailWithError({-1, message});
      } else {
        std::string message = errorText[0] ? errorText : curl_easy_strerror(result);
        tellObserver(requestURL, Outcome::Failed, status, message);
        delegate.connectionDidFailWithError({static_cast<int>(result), message});
      }
      return;
    }
  }

  static int onSocket(CURL*, curl_socket_t fd, int what, void* self, void*) {
    auto* impl = static_cast<Impl*>(self);
    auto it = impl->watches.find(fd);
    if (what == CURL_POLL_REMOVE) {
      if (it != impl->watches.end()) {
        impl->loop.removeWatch(it->second);
        impl->watches.erase(it);
      }
      return 0;
    }
    short events = 0;
    if (what & CURL_POLL_IN) events |= POLLIN;
    if (what & CURL_POLL_OUT) events |= POLLOUT;
    if (it != impl->watches.end()) {
      impl->loop.updateWatch(it->second, events);
    } else {
      impl->watches[fd] = impl->loop.watchFd(fd, events, [impl, fd](short revents) {
        int mask = 0;
        if (revents & POLLIN) mask |= CURL_CSELECT_IN;
        if (revents & POLLOUT) mask |= CURL_CSELECT_OUT;
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) mask |= CURL_CSELECT_ERR;
        impl->act(fd, mask);
      });
    }
    return 0;
  }

  static int onTimer(CURLM*, long timeoutMs, void* self) {
    auto* impl = static_cast<Impl*>(self);
    if (impl->timer) impl->loop.cancelTimer(impl->timer);
    impl->timer = 0;
    if (timeoutMs >= 0) {
      impl->timer = impl->loop.addTimer(std::chrono::milliseconds(timeoutMs), [impl] {
        impl->timer = 0;
        impl->act(CURL_SOCKET_TIMEOUT, 0);
      });
    }
    return 0;
  }

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* impl = static_cast<Impl*>(self);
    std::size_t n = size * count;
    if (impl->ended) return 0;
    std::string_view line(data, n);
    if (line.starts_with("HTTP/")) {
      impl->statusSeen = true;
      impl->status = 0;
      curl_easy_getinfo(impl->easy, CURLINFO_RESPONSE_CODE, &impl->status);
      if (impl->status == 0) {  // not known yet: read it from the status line
        std::size_t space = line.find(' ');
        if (space != std::string_view::npos)
          for (std::size_t i = space + 1;
               i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
            impl->status = impl->status * 10 + (line[i] - '0');
      }
    } else if ((line == "\r\n" || line == "\n") && impl->statusSeen) {
      // The head of one response is complete. Interim 1xx answers are not responses, and
      // trailers after a chunked body have no status line, so neither starts a new body.
      impl->statusSeen = false;
      if (impl->status >= 200) {
        impl->bodyBytes = 0;
        impl->lastBody.clear();
        impl->delegate.connectionDidReceiveResponse(HttpResponse{impl->status});
      }
    }
    return n;
  }

  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self) {
    auto* impl = static_cast<Impl*>(self);
    std::size_t n = size * count;
    if (impl->ended) return 0;
    // The size option of libcurl does not stop a body that arrives without a declared
    // length, so the limit is enforced here, on every piece.
    if (n > impl->maxBodyBytes - impl->bodyBytes) {
      impl->overLimit = true;
      return 0;
    }
    impl->bodyBytes += n;
    if (exchangeObserver()) impl->lastBody.append(data, n);
    impl->delegate.connectionDidReceiveData(std::string_view(data, n));
    return n;
  }
};

HttpConnection::HttpConnection(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

HttpConnection::~HttpConnection() {
  cancel();
}

void HttpConnection::cancel() {
  if (!impl_ || impl_->ended) return;
  impl_->ended = true;
  tellObserver(impl_->requestURL, HttpExchangeEnd::Outcome::Cancelled, impl_->status, "");
  if (impl_->inCurl == 0) impl_->detach();
}

bool HttpConnection::ended() const {
  return impl_->ended;
}

std::unique_ptr<HttpConnection> HttpConnection::start(RunLoop& loop, const HttpRequest& request,
                                                      HttpConnectionDelegate& delegate) {
  auto connection = startConnection(loop, request, delegate);
  if (!connection) tellObserver(request.url, HttpExchangeEnd::Outcome::NotStarted, 0, "");
  return connection;
}

std::unique_ptr<HttpConnection> HttpConnection::startConnection(RunLoop& loop,
                                                                const HttpRequest& request,
                                                                HttpConnectionDelegate& delegate) {
  initCurlOnce();
  auto impl = std::make_unique<Impl>(loop, delegate);
  impl->requestURL = request.url;
  impl->url = curl_url();
  if (!impl->url || curl_url_set(impl->url, CURLUPART_URL, request.url.c_str(), 0) != CURLUE_OK)
    return nullptr;
  char* scheme = nullptr;
  if (curl_url_get(impl->url, CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK) return nullptr;
  std::string_view s = scheme;
  bool web = s == "http" || s == "https";
  curl_free(scheme);
  if (!web) return nullptr;

  impl->easy = curl_easy_init();
  impl->multi = curl_multi_init();
  if (!impl->easy || !impl->multi) return nullptr;
  impl->body = request.body;
  impl->maxBodyBytes = request.maxBodyBytes;
  for (const auto& [name, value] : request.headers) {
    std::string field = name + ":" + (value.empty() ? "" : " " + value);
    curl_slist* grown = curl_slist_append(impl->headers, field.c_str());
    if (!grown) return nullptr;
    impl->headers = grown;
  }

  CURL* e = impl->easy;
  bool ok =
      curl_easy_setopt(e, CURLOPT_CURLU, impl->url) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_MAXREDIRS, request.maxRedirects) == CURLE_OK &&
      // Every hop repeats the same POST: the header fields we send state its length.
      curl_easy_setopt(e, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL)) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count())) ==
          CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1") == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_HTTPHEADER, impl->headers) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_ERRORBUFFER, impl->errorText) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Impl::onHeader) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_HEADERDATA, impl.get()) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Impl::onWrite) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_WRITEDATA, impl.get()) == CURLE_OK;
  if (ok && request.method == "POST") {
    ok = curl_easy_setopt(e, CURLOPT_POST, 1L) == CURLE_OK &&
         curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(impl->body.size())) == CURLE_OK &&
         curl_easy_setopt(e, CURLOPT_POSTFIELDS, impl->body.data()) == CURLE_OK;
  } else if (ok && request.method != "GET") {
    ok = curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, request.method.c_str()) == CURLE_OK;
  }
  ok = ok && curl_multi_setopt(impl->multi, CURLMOPT_SOCKETFUNCTION, &Impl::onSocket) == CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_SOCKETDATA, impl.get()) == CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_TIMERFUNCTION, &Impl::onTimer) == CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_TIMERDATA, impl.get()) == CURLM_OK;
  if (!ok) return nullptr;
  // Adding the handle only asks for a zero time-out: the transfer begins in the run loop.
  if (curl_multi_add_handle(impl->multi, e) != CURLM_OK) return nullptr;
  impl->attached = true;
  return std::unique_ptr<HttpConnection>(new HttpConnection(std::move(impl)));
}

}  // namespace jc
