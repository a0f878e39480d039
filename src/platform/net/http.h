// Asynchronous HTTP exchanges over libcurl's multi interface, delivering their events
// (response, data, completion, failure) on the thread's run loop.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/io/runloop.h"

namespace jc {

/// Whether `text` is a well-formed absolute URL: a scheme, ":", then only the characters
/// a URL may hold (no spaces, quotes, angle brackets, braces, backslashes or non-ASCII),
/// with every "%" followed by two hexadecimal digits. Says nothing about reachability.
bool isWellFormedURL(std::string_view text);

/// One HTTP request. Header fields are sent in the order given, after the ones libcurl
/// adds itself (Host, Accept); a field with an empty value suppresses libcurl's own.
struct HttpRequest {
  std::string url;
  std::string method = "POST";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  /// The whole exchange must end within this time, or it fails.
  std::chrono::milliseconds timeout{60'000};
  /// A response body larger than this fails the exchange (the transfer stops at once).
  std::size_t maxBodyBytes = 32u << 20;
  /// Redirects followed (http and https only); one more fails the exchange.
  long maxRedirects = 5;
};

/// The head of a response.
struct HttpResponse {
  long status = 0;
  /// The body length the response declares (Content-Length), or -1 when it declares none.
  /// Only a hint for sizing a buffer: the body that arrives may differ.
  long long declaredLength = -1;
};

/// Why an exchange failed, in libcurl's words.
struct HttpError {
  int code = 0;  ///< a CURLcode, or -1 for a body over the limit
  std::string message;
};

/// How one exchange ended, for a host that tells its user why (a plug-in may report a
/// failure in words of its own, without the reason).
struct HttpExchangeEnd {
  enum class Outcome {
    NotStarted,  ///< no connection could be made for the request (see `start`)
    Finished,    ///< the last response arrived whole; `status` is its status
    Failed,      ///< `message` says why, in libcurl's words
    Cancelled,   ///< stopped before it ended (a caller's own time limit, for example)
  };
  std::string url;
  Outcome outcome = Outcome::NotStarted;
  long status = 0;  ///< the last response's status, 0 when none came
  std::string message;
  std::string body;  ///< the last response's body (Finished only)
};

/// Installs the process's one observer of exchange ends, called on the loop's thread when
/// an exchange ends in any way; it is handed the end (the body with it) to keep. An empty
/// function removes it.
void setHttpExchangeObserver(std::function<void(HttpExchangeEnd)> observer);

/// Receives a connection's events. For each response (every hop of a redirect, but no
/// interim 1xx answer) `didReceiveResponse` comes first, then its body as data; one of
/// `didFinishLoading` or `didFailWithError` ends the exchange. Nothing arrives after that
/// or after `cancel`. A receiver must not destroy the connection inside a callback.
class HttpConnectionDelegate {
 public:
  virtual void connectionDidReceiveResponse(const HttpResponse& response) = 0;
  virtual void connectionDidReceiveData(std::string_view data) = 0;
  virtual void connectionDidFinishLoading() = 0;
  virtual void connectionDidFailWithError(const HttpError& error) = 0;

 protected:
  ~HttpConnectionDelegate() = default;
};

/// One asynchronous exchange on a run loop. Nothing is sent before the loop runs.
class HttpConnection {
 public:
  /// Starts `request` on `loop`, reporting to `delegate` (not owned; it must outlive the
  /// connection). Answers nullptr when no connection can be made for it: a URL libcurl
  /// rejects (no host, a port out of range), a scheme other than http or https, or
  /// libcurl refusing the handle.
  static std::unique_ptr<HttpConnection> start(RunLoop& loop, const HttpRequest& request,
                                               HttpConnectionDelegate& delegate);
  /// Cancels an unfinished exchange.
  ~HttpConnection();
  /// Stops the exchange; no event is delivered afterwards. Safe to call more than once.
  void cancel();
  /// Whether the exchange has ended (finished, failed or cancelled).
  bool ended() const;

  struct Impl;

 private:
  struct Observing;
  HttpConnection(std::unique_ptr<Observing> observing, std::unique_ptr<Impl> impl);
  std::unique_ptr<Observing> observing_;  // outlives impl_, which reports to it
  std::unique_ptr<Impl> impl_;
};

}  // namespace jc
