// The HTTP transport module: exchanges over libcurl's multi socket interface. libcurl
// tells us which sockets and which time-out to wait for, the run loop waits, and we hand
// the events back. Loaded by the platform library on the first exchange (http_transport.h).
#include <curl/curl.h>
#include <poll.h>

#include <cctype>
#include <charconv>
#include <map>

#include "platform/base/export.h"
#include "platform/net/http_transport.h"

namespace jc {

namespace {

void initCurlOnce() {
  static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
  (void)done;
}

// Whether the header line `line` is the field `name` (lower case), whatever its case.
bool isHeaderNamed(std::string_view line, std::string_view name) {
  if (line.size() <= name.size() || line[name.size()] != ':') return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) return false;
  return true;
}

// The decimal value of a Content-Length line, or -1 when it holds anything else.
long long declaredLengthOf(std::string_view line) {
  line.remove_prefix(line.find(':') + 1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
    line.remove_suffix(1);
  long long value = 0;
  auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
  return ec == std::errc() && end == line.data() + line.size() && !line.empty() && value >= 0
             ? value
             : -1;
}

}  // namespace

struct CurlConnection final : HttpConnection::Impl {
  CurlConnection(RunLoop& l, HttpConnectionDelegate& d) : loop(l), delegate(d) {}
  ~CurlConnection() override { teardown(); }

  void cancel() override {
    if (ended) return;
    ended = true;
    if (inCurl == 0) detach();
  }
  bool done() const override { return ended; }

  RunLoop& loop;
  HttpConnectionDelegate& delegate;
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
  long long declaredLength = -1;  // this response's Content-Length, -1 when none came
  bool attached = false;          // the easy handle is in the multi handle
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
      if (result == CURLE_OK) {
        delegate.connectionDidFinishLoading();
      } else if (overLimit) {
        delegate.connectionDidFailWithError(
            {-1, "response body larger than " + std::to_string(maxBodyBytes) + " bytes"});
      } else {
        std::string message = errorText[0] ? errorText : curl_easy_strerror(result);
        delegate.connectionDidFailWithError({static_cast<int>(result), message});
      }
      return;
    }
  }

  static int onSocket(CURL*, curl_socket_t fd, int what, void* self, void*) {
    auto* impl = static_cast<CurlConnection*>(self);
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
    auto* impl = static_cast<CurlConnection*>(self);
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
    auto* impl = static_cast<CurlConnection*>(self);
    std::size_t n = size * count;
    if (impl->ended) return 0;
    std::string_view line(data, n);
    if (line.starts_with("HTTP/")) {
      impl->statusSeen = true;
      impl->status = 0;
      impl->declaredLength = -1;
      curl_easy_getinfo(impl->easy, CURLINFO_RESPONSE_CODE, &impl->status);
      if (impl->status == 0) {  // not known yet: read it from the status line
        std::size_t space = line.find(' ');
        if (space != std::string_view::npos)
          for (std::size_t i = space + 1;
               i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i)
            impl->status = impl->status * 10 + (line[i] - '0');
      }
    } else if (impl->statusSeen && isHeaderNamed(line, "content-length")) {
      impl->declaredLength = declaredLengthOf(line);
    } else if ((line == "\r\n" || line == "\n") && impl->statusSeen) {
      // The head of one response is complete. Interim 1xx answers are not responses, and
      // trailers after a chunked body have no status line, so neither starts a new body.
      impl->statusSeen = false;
      if (impl->status >= 200) {
        impl->bodyBytes = 0;
        impl->delegate.connectionDidReceiveResponse(
            HttpResponse{impl->status, impl->declaredLength});
      }
    }
    return n;
  }

  static std::size_t onWrite(char* data, std::size_t size, std::size_t count, void* self) {
    auto* impl = static_cast<CurlConnection*>(self);
    std::size_t n = size * count;
    if (impl->ended) return 0;
    // The size option of libcurl does not stop a body that arrives without a declared
    // length, so the limit is enforced here, on every piece.
    if (n > impl->maxBodyBytes - impl->bodyBytes) {
      impl->overLimit = true;
      return 0;
    }
    impl->bodyBytes += n;
    impl->delegate.connectionDidReceiveData(std::string_view(data, n));
    return n;
  }
};

std::unique_ptr<CurlConnection> startCurl(RunLoop& loop, const HttpRequest& request,
                                          HttpConnectionDelegate& delegate) {
  initCurlOnce();
  auto impl = std::make_unique<CurlConnection>(loop, delegate);
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
      curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &CurlConnection::onHeader) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_HEADERDATA, impl.get()) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &CurlConnection::onWrite) == CURLE_OK &&
      curl_easy_setopt(e, CURLOPT_WRITEDATA, impl.get()) == CURLE_OK;
  if (ok && request.method == "POST") {
    ok = curl_easy_setopt(e, CURLOPT_POST, 1L) == CURLE_OK &&
         curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE,
                          static_cast<curl_off_t>(impl->body.size())) == CURLE_OK &&
         curl_easy_setopt(e, CURLOPT_POSTFIELDS, impl->body.data()) == CURLE_OK;
  } else if (ok && request.method != "GET") {
    ok = curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, request.method.c_str()) == CURLE_OK;
  }
  ok = ok &&
       curl_multi_setopt(impl->multi, CURLMOPT_SOCKETFUNCTION, &CurlConnection::onSocket) ==
           CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_SOCKETDATA, impl.get()) == CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_TIMERFUNCTION, &CurlConnection::onTimer) ==
           CURLM_OK &&
       curl_multi_setopt(impl->multi, CURLMOPT_TIMERDATA, impl.get()) == CURLM_OK;
  if (!ok) return nullptr;
  // Adding the handle only asks for a zero time-out: the transfer begins in the run loop.
  if (curl_multi_add_handle(impl->multi, e) != CURLM_OK) return nullptr;
  impl->attached = true;
  return impl;
}

}  // namespace jc

extern "C" JC_EXPORT jc::HttpConnection::Impl* jc_http_transport_start(
    jc::RunLoop* loop, const jc::HttpRequest* request, jc::HttpConnectionDelegate* delegate) {
  return jc::startCurl(*loop, *request, *delegate).release();
}
