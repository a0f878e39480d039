// The SOAP client: one HTTP POST exchange with the printer's service, waited for on the
// run loop, whose answer lands in the response file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/base/result.h"
#include "platform/io/runloop.h"
#include "platform/net/http.h"
#include "soap/soap_client_callback.h"

namespace jc::soap {

/// The file the answer of the last completed exchange is kept in: "vwxyz.xml" in the
/// user's own temporary folder (see userTemporaryDirectory), or the refusal that says why
/// there is none (nothing is then written or read).
Result<std::string> responseFilePath();

/// The limits of an exchange. The product uses the defaults; tests shorten them.
struct ExchangeLimits {
  /// The whole exchange is given up after this long.
  std::chrono::milliseconds overall{20'000};
  /// The HTTP request's own time-out.
  std::chrono::milliseconds request{60'000};
  /// The longest single run of the event loop between two looks at the exchange's state.
  std::chrono::milliseconds step{1'000};
  /// The largest response body accepted.
  std::size_t maxResponseBytes = 32u << 20;
};

/// The limits new clients take. Main thread only.
ExchangeLimits& defaultExchangeLimits();

}  // namespace jc::soap

/// Performs one SOAP-over-HTTP exchange: posts a body to a URL, runs the thread's event
/// loop until the exchange has ended, and leaves the answer in the response file. On
/// failure or time-out it calls its context back instead. Used for one exchange.
class VoreliaPrintPdeTz630eJCSOAPClient final : private jc::HttpConnectionDelegate {
 public:
  /// A client for the URL text `serverName` reporting to `context` (not owned; it must
  /// outlive `sendMessage`), waiting on `loop` (the host's run loop, which must outlive the
  /// client; nullptr: the thread's poll loop). nullptr when the text is not a well-formed URL.
  static std::unique_ptr<VoreliaPrintPdeTz630eJCSOAPClient> initWithServerName(
      std::string_view serverName, SOAPClientCallback* context, jc::RunLoop* loop = nullptr);
  ~VoreliaPrintPdeTz630eJCSOAPClient();
  VoreliaPrintPdeTz630eJCSOAPClient(const VoreliaPrintPdeTz630eJCSOAPClient&) = delete;
  VoreliaPrintPdeTz630eJCSOAPClient& operator=(const VoreliaPrintPdeTz630eJCSOAPClient&) = delete;

  /// Posts `body` unchanged and returns when the exchange has ended, serving the run loop's
  /// events meanwhile (the connection's, the time limit's and the host's own): completed (the
  /// response file now holds the body of the last response, whose status was 2xx), failed
  /// (including any other final status) or timed out (the context was called back once,
  /// the file is untouched), or no
  /// connection could be made (a "Connection fail" trace line; nothing else happens).
  void sendMessage(std::string_view body);

  // Connection events, delivered on the waiting thread during `sendMessage`.
  void connectionDidReceiveResponse(const jc::HttpResponse& response) override;
  void connectionDidReceiveData(std::string_view data) override;
  void connectionDidFinishLoading() override;
  void connectionDidFailWithError(const jc::HttpError& error) override;
  /// The overall limit ran out.
  void firedByTimer();

  /// The exchange's state: 0 waiting, 1 completed, 2 timed out, 3 failed.
  std::int32_t finishedState() const { return finished; }
  /// Why the last exchange failed ("" when it did not).
  const std::string& lastError() const { return lastError_; }
  /// The body of the last exchange, moved out, when it completed and the response file now
  /// holds exactly these bytes; nullopt otherwise (the file is then as it was). A reader
  /// of the answer takes it from here instead of reading the file back.
  std::optional<std::string> takeAnswer() { return std::exchange(answer_, std::nullopt); }

 private:
  VoreliaPrintPdeTz630eJCSOAPClient(SOAPClientCallback* context, std::string url,
                                    jc::soap::ExchangeLimits limits, jc::RunLoop& loop);

  // Fields, in declaration order.
  SOAPClientCallback* m_context;
  std::string url;
  std::int32_t finished = 0;
  std::optional<jc::HttpResponse> responseData;
  std::optional<std::string> receivedData;

  jc::soap::ExchangeLimits limits_;
  jc::RunLoop& loop_;
  std::unique_ptr<jc::HttpConnection> connection_;
  std::string lastError_;
  std::optional<std::string> answer_;
  // Lives exactly as long as one `sendMessage`; the overall-limit timer holds it weakly,
  // so a firing after the exchange (or after the client is gone) touches nothing.
  std::shared_ptr<VoreliaPrintPdeTz630eJCSOAPClient*> exchange_;
};
