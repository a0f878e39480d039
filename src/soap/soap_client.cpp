// The SOAP client's exchange: request, overall limit, waiting, outcome.
#include "soap/soap_client.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/io/temp_files.h"
#include "plugin/trace.h"

namespace jc::soap {

Result<std::string> responseFilePath() {
  Result<std::string> folder = jc::userTemporaryDirectory();
  if (!folder) return folder.refusal();
  return *folder + "vwxyz.xml";
}

ExchangeLimits& defaultExchangeLimits() {
  static ExchangeLimits limits;
  return limits;
}

}  // namespace jc::soap

std::unique_ptr<VoreliaPrintPdeTz630eJCSOAPClient>
VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(std::string_view serverName,
                                                      SOAPClientCallback* context,
                                                      jc::RunLoop* loop) {
  if (!jc::isWellFormedURL(serverName)) return nullptr;
  return std::unique_ptr<VoreliaPrintPdeTz630eJCSOAPClient>(new VoreliaPrintPdeTz630eJCSOAPClient(
      context, std::string(serverName), jc::soap::defaultExchangeLimits(),
      loop ? *loop : jc::RunLoop::current()));
}

VoreliaPrintPdeTz630eJCSOAPClient::VoreliaPrintPdeTz630eJCSOAPClient(
    SOAPClientCallback* context, std::string serverURL, jc::soap::ExchangeLimits limits,
    jc::RunLoop& loop)
    : m_context(context), url(std::move(serverURL)), limits_(limits), loop_(loop) {}

VoreliaPrintPdeTz630eJCSOAPClient::~VoreliaPrintPdeTz630eJCSOAPClient() {
  exchange_.reset();
  connection_.reset();
}

void VoreliaPrintPdeTz630eJCSOAPClient::sendMessage(std::string_view body) {
  responseData.reset();
  answer_.reset();

  jc::HttpRequest request;
  request.url = url;
  request.method = "POST";
  request.body = std::string(body);
  char length[32];
  std::snprintf(length, sizeof length, "%ld", static_cast<long>(body.size()));
  request.headers = {{"SOAPAction", "\"SoapActionDummy\""},
                     {"Content-Type", "application/soap; charset=\"utf-8\""},
                     {"Content-Length", length},
                     // libcurl would otherwise hold a large body back for a "100 Continue".
                     {"Expect", ""}};
  request.timeout = limits_.request;
  request.maxBodyBytes = limits_.maxResponseBytes;

  finished = 0;
  lastError_.clear();
  jc::RunLoop& loop = loop_;
  connection_ = jc::HttpConnection::start(loop, request, *this);
  if (!connection_) {
    _PDELog(this, "Connection fail");
    return;
  }

  exchange_ = std::make_shared<VoreliaPrintPdeTz630eJCSOAPClient*>(this);
  std::weak_ptr<VoreliaPrintPdeTz630eJCSOAPClient*> token = exchange_;
  jc::RunLoop::Id timer = loop.addTimer(limits_.overall, [token] {
    if (auto live = token.lock()) (*live)->firedByTimer();
  });

  receivedData.emplace();
  // Each run returns as soon as an event has ended the exchange, so an answer is acted on
  // the moment it is complete; the step only bounds how long one run may last. The host's
  // own events are served all the while.
  auto ended = [this] { return finished != 0; };
  while (finished == 0) loop.runUntil(ended, jc::RunLoop::Clock::now() + limits_.step);

  switch (finished) {
    case 1: {
      // A failed write leaves the earlier file; the caller parses whatever is there. The
      // file only caches the printer's answer, so it is not worth a disk flush, which
      // costs more than the whole exchange on a local printer. An answer equal to the file
      // (our own, compared with the same care as the parser's reads) is not written again:
      // replacing a file by rename makes the file system flush its data all the same.
      // Without a folder of the user's own there is nowhere to keep it (the panel says so).
      const jc::Result<std::string> path = jc::soap::responseFilePath();
      if (path && (jc::ownFileHolds(*path, *receivedData) ||
                   jc::writeFileAtomically(*path, *receivedData, /*durable=*/false)))
        answer_ = std::move(receivedData);
      break;
    }
    case 2:
      connection_->cancel();
      if (m_context) m_context->recieveEndCallback();
      break;
    default:
      if (m_context) m_context->recieveEndCallback();
      break;
  }
  // The limit has done its work: a timer left behind would only pile up in the loop,
  // one per exchange. Should it fire anyway, the expired token makes it a no-op.
  loop.cancelTimer(timer);
  exchange_.reset();
  connection_.reset();
  receivedData.reset();
}

void VoreliaPrintPdeTz630eJCSOAPClient::connectionDidReceiveResponse(
    const jc::HttpResponse& response) {
  responseData = response;
  // A new response (the next hop of a redirect) starts the body afresh. A declared length
  // sizes the buffer once: growing a long answer by doubling would copy it over and over
  // and hold it up to three times at the moment of each growth.
  if (!receivedData) return;
  receivedData->clear();
  if (response.declaredLength > 0)
    receivedData->reserve(static_cast<std::size_t>(std::min<long long>(
        response.declaredLength, static_cast<long long>(limits_.maxResponseBytes))));
}

void VoreliaPrintPdeTz630eJCSOAPClient::connectionDidReceiveData(std::string_view data) {
  if (receivedData) receivedData->append(data);
}

void VoreliaPrintPdeTz630eJCSOAPClient::connectionDidFinishLoading() {
  // An answer with an error status (a login page, a server fault) is no folder list: the
  // exchange failed, and the last good answer stays in the file.
  long status = responseData ? responseData->status : 0;
  if (status >= 200 && status < 300) {
    finished = 1;
  } else {
    lastError_ = "the printer answered with HTTP status " + std::to_string(status);
    finished = 3;
  }
}

void VoreliaPrintPdeTz630eJCSOAPClient::connectionDidFailWithError(const jc::HttpError& error) {
  lastError_ = error.message;
  finished = 3;
}

void VoreliaPrintPdeTz630eJCSOAPClient::firedByTimer() {
  finished = 2;
}
