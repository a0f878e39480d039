// The SOAP client against the printer simulator: the request on the wire, every kind of
// answer's outcome and the response file it leaves, the size cap, redirects.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "printer_simulator.h"
#include "soap/soap_client.h"
#include "soap_test_support.h"
#include "support/trace_recorder.h"

// The simulator's settings are written as designated initializers; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace jc::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using sim::Fault;
using soap::defaultExchangeLimits;

struct CountingContext : SOAPClientCallback {
  void recieveEndCallback() override { ++calls; }
  int calls = 0;
};

constexpr std::string_view kBody = "<Envelope><Body><list-files/></Body></Envelope>";
const std::string kEarlier = "earlier answer";

class SoapClientTest : public ExchangeFixture {
 protected:
  void SetUp() override {
    ExchangeFixture::SetUp();
    ASSERT_TRUE(sim.start());
    clearTrace();
  }
  // One exchange with `url`; answers the client's final state and the elapsed time.
  std::pair<int, Clock::duration> exchange(std::string_view body = kBody, std::string url = "") {
    if (url.empty()) url = "http://" + sim.address() + sim::kServicePath;
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(url, &context);
    EXPECT_NE(client, nullptr);
    if (!client) return {-1, {}};
    auto start = Clock::now();
    client->sendMessage(body);
    lastOk = client->outcome().ok();
    lastError = client->outcome().message();
    lastAnswer = client->takeAnswer();
    return {static_cast<int>(client->finishedState()), Clock::now() - start};
  }

  sim::PrinterSimulator sim;
  CountingContext context;
  bool lastOk = false;
  std::string lastError;
  std::optional<std::string> lastAnswer;  // what the client handed on
};

struct Outcome {
  const char* what;
  sim::Config config;
  int state;         // 1 completed, 2 timed out, 3 failed
  std::string file;  // what the response file holds afterwards
  std::chrono::milliseconds overall = 3000ms, request = 10000ms;
  std::size_t cap = 1u << 20;
};

std::vector<Outcome> outcomes() {
  const std::string listed = sim::folderListDocument({{"A"}, {"B", true}});
  const std::string moved = sim::folderListDocument({{"Moved"}});
  // clang-format off
  std::vector<Outcome> rows = {
      {"success", {.folders = {{"A"}, {"B", true}}, .delay = 50ms}, 1, listed},
      {"reset", {.fault = Fault::Reset, .delay = 50ms}, 3, kEarlier},
      {"no answer within the overall limit", {.fault = Fault::NeverAnswer}, 2, kEarlier, 300ms},
      {"an answer after the overall limit",
       {.folders = {{"Late"}}, .fault = Fault::Delay, .delay = 800ms}, 2, kEarlier, 300ms},
      {"a body that keeps dripping",
       {.folders = {{"Drip"}}, .fault = Fault::SlowDrip, .delay = 100ms, .dripBytes = 4}, 2,
       kEarlier, 300ms},
      {"the request time-out", {.fault = Fault::NeverAnswer}, 3, kEarlier, 5000ms, 200ms},
      {"larger than the cap", {.fault = Fault::HugeBody, .hugeBytes = 8u << 20}, 3, kEarlier},
      {"a redirect loop", {.fault = Fault::Redirect, .redirectHops = 50}, 3, kEarlier},
  };
  for (int status : {401, 500, 503})  // an error page or a SOAP fault is no folder list
    rows.push_back({"an error status", {.fault = Fault::ErrorStatus, .status = status}, 3,
                    kEarlier});
  for (int status : {301, 302, 303, 307, 308})  // every hop must be the same POST
    rows.push_back({"redirected twice", {.folders = {{"Moved"}}, .fault = Fault::Redirect,
                    .redirectStatus = status, .redirectHops = 2}, 1, moved});
  for (const char* elsewhere : {"file:///etc/passwd", "ftp://127.0.0.1/x", "gopher://127.0.0.1/"})
    rows.push_back({"redirected off the web",
                    {.fault = Fault::Redirect, .redirectLocation = elsewhere}, 3, kEarlier});
  // clang-format on
  return rows;
}

TEST_F(SoapClientTest, EveryKindOfAnswerEndsAsItShould) {
  for (const Outcome& c : outcomes()) {
    SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.config.redirectStatus) + " " +
                 std::to_string(c.config.status) + " " + c.config.redirectLocation);
    write(responseFile(), kEarlier);
    defaultExchangeLimits().overall = c.overall;
    defaultExchangeLimits().request = c.request;
    defaultExchangeLimits().maxResponseBytes = c.cap;
    sim.setConfig(c.config);
    const std::size_t before = sim.requests().size();
    const int callsBefore = context.calls;
    auto [state, elapsed] = exchange();
    EXPECT_EQ(state, c.state);
    EXPECT_EQ(context.calls - callsBefore, state == 1 ? 0 : 1);
    // Every exchange that did not complete says why.
    EXPECT_EQ(lastOk, state == 1);
    EXPECT_EQ(lastError.empty(), state == 1);
    if (state == 2) {
      EXPECT_GE(elapsed, c.overall);
    }
    EXPECT_LT(elapsed, c.overall + 1s);
    if (c.config.fault == Fault::Delay) RunLoop::current().runFor(1s);  // the late answer
    EXPECT_EQ(contents(responseFile()), c.file);
    // Only a completed answer is handed on, and only as the file now holds it.
    EXPECT_EQ(lastAnswer, state == 1 ? contents(responseFile()) : std::nullopt);
    if (c.config.fault == Fault::HugeBody || c.config.fault == Fault::ErrorStatus) {
      std::string why = c.config.fault == Fault::HugeBody ? std::string("larger than")
                                                          : std::to_string(c.config.status);
      EXPECT_NE(lastError.find(why), std::string::npos) << lastError;
    }
    auto requests = sim.requests();
    EXPECT_LE(requests.size() - before, 6u);  // a loop is given up after a few hops
    for (std::size_t i = before; i < requests.size(); ++i)
      EXPECT_EQ(requests[i].problems, std::vector<std::string>{}) << requests[i].body;
  }
  // Just under the cap is fine.
  sim.setConfig({.fault = Fault::HugeBody, .hugeBytes = 512u << 10});
  EXPECT_EQ(exchange().first, 1);
  EXPECT_GE(contents(responseFile())->size(), 512u << 10);
}

TEST_F(SoapClientTest, AQuickAnswerEndsTheWaitAndUserEventsAreHandledMeanwhile) {
  defaultExchangeLimits().step = 10s;  // waiting out a step would take 10 seconds
  defaultExchangeLimits().overall = 20s;
  sim.setConfig({.fault = Fault::Delay, .delay = 300ms});
  int handled = 0;
  RunLoop::current().post([&] { ++handled; });
  RunLoop::current().addTimer(100ms, [&] { ++handled; });
  auto [state, elapsed] = exchange();
  EXPECT_EQ(state, 1);
  EXPECT_LT(elapsed, 5s);
  EXPECT_EQ(handled, 2);
  // An empty body goes out with a length of "0": the simulator complains of the body alone,
  // and its "400 Bad Request" fails the exchange.
  EXPECT_EQ(exchange("").first, 3);
  auto requests = sim.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].body, kBody);
  EXPECT_EQ(requests[1].problems,
            std::vector<std::string>{"the body is not a SOAP envelope asking for list-files"});
}

TEST_F(SoapClientTest, ALateTimerTouchesNothing) {
  defaultExchangeLimits().overall = 200ms;
  {
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(
        "http://" + sim.address() + sim::kServicePath, &context);
    ASSERT_TRUE(client);
    client->sendMessage(kBody);
    RunLoop::current().runFor(400ms);  // the timer fires while the client still exists
    EXPECT_EQ(client->finishedState(), jc::soap::ExchangeState::Completed);
    client->sendMessage(kBody);
  }
  RunLoop::current().runFor(400ms);  // ... and once it is gone
  EXPECT_EQ(context.calls, 0);
}

TEST_F(SoapClientTest, BadURLsAndImpossibleConnections) {
  for (const char* text : {"http://a b/vorelia-mfp-srv", "http://<printer>/x", "no scheme",
                           "http://host%zz/x", "http://caf\xC3\xA9/x", ""})
    EXPECT_EQ(VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(text, &context), nullptr)
        << text;

  // A URL, but nothing a connection can be made to: a trace line and nothing else.
  write(responseFile(), kEarlier);
  for (const char* text : {"http://127.0.0.1:99999/vorelia-mfp-srv", "http://[::1/vorelia-mfp-srv",
                           "http://printer:port/vorelia-mfp-srv", "mailto:printer@example.com"}) {
    clearTrace();
    EXPECT_LT(exchange(kBody, text).second, 1s);
    EXPECT_EQ(traceMessages(), std::vector<std::string>{"Connection fail"}) << text;
  }
  EXPECT_EQ(context.calls, 0);
  EXPECT_TRUE(sim.requests().empty());

  // A refused connection (a port bound, never listened on, then released) is a failure.
  int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}};
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(probe);
  std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/x";
  EXPECT_EQ(exchange(kBody, refused).first, 3);
  EXPECT_EQ(context.calls, 1);
  EXPECT_EQ(contents(responseFile()), kEarlier);
}

}  // namespace
}  // namespace jc::test
