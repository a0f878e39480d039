// The SOAP client against the printer simulator: the request on the wire, the outcomes
// of every kind of answer, the overall limit, and the response file.
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include "printer_simulator.h"
#include "soap/soap_client.h"
#include "soap_test_support.h"
#include "support/trace_recorder.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using soap::defaultExchangeLimits;

struct CountingContext : SOAPClientCallback {
  void recieveEndCallback() override { ++calls; }
  int calls = 0;
};

constexpr std::string_view kBody = "<Envelope><Body><list-files/></Body></Envelope>";

class SoapClientTest : public ExchangeFixture {
 protected:
  void SetUp() override {
    ExchangeFixture::SetUp();
    ASSERT_TRUE(sim.start());
    clearTrace();
  }
  std::string url() const { return "http://" + sim.address() + sim::kServicePath; }
  // One exchange; answers the client's final state and the elapsed time.
  std::pair<int, Clock::duration> exchange(std::string_view body = kBody) {
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(url(), &context);
    EXPECT_NE(client, nullptr);
    if (!client) return {-1, {}};
    auto start = Clock::now();
    client->sendMessage(body);
    return {client->finishedState(), Clock::now() - start};
  }
  void serve(sim::Fault fault, std::vector<sim::Folder> folders = {{"A"}, {"B", true}}) {
    sim::Config config;
    config.fault = fault;
    config.folders = std::move(folders);
    config.delay = 50ms;
    sim.setConfig(config);
  }

  sim::PrinterSimulator sim;
  CountingContext context;
};

TEST_F(SoapClientTest, PostsTheBodyWithTheThreeFieldsAndKeepsTheAnswer) {
  serve(sim::Fault::None);
  auto [state, elapsed] = exchange();
  EXPECT_EQ(state, 1);
  EXPECT_EQ(context.calls, 0);
  auto requests = sim.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].problems, std::vector<std::string>{});
  EXPECT_EQ(requests[0].body, kBody);
  EXPECT_EQ(contents(responseFile()), sim::folderListDocument({{"A"}, {"B", true}}));

  // A second completed exchange replaces the first answer.
  serve(sim::Fault::None, {{"Only"}});
  EXPECT_EQ(exchange().first, 1);
  EXPECT_EQ(contents(responseFile()), sim::folderListDocument({{"Only"}}));

  // An empty body goes out with a length of "0" (the simulator then complains about the
  // body alone).
  EXPECT_EQ(exchange("").first, 1);
  requests = sim.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2].body, "");
  EXPECT_EQ(requests[2].problems,
            std::vector<std::string>{"the body is not a SOAP envelope asking for list-files"});
  EXPECT_EQ(context.calls, 0);
}

TEST_F(SoapClientTest, AQuickAnswerEndsTheWaitWithoutWaitingOutTheStep) {
  // With a 10-second step, a wait that ran its steps to the end would take 10 seconds.
  defaultExchangeLimits().step = 10s;
  defaultExchangeLimits().overall = 20s;
  serve(sim::Fault::None);
  auto [state, elapsed] = exchange();
  EXPECT_EQ(state, 1);
  EXPECT_LT(elapsed, 5s);
}

TEST_F(SoapClientTest, AnErrorStatusIsACompletionAndItsBodyIsKept) {
  sim::Config config;
  config.fault = sim::Fault::ErrorStatus;
  config.status = 503;
  sim.setConfig(config);
  EXPECT_EQ(exchange().first, 1);
  EXPECT_EQ(context.calls, 0);
  auto file = contents(responseFile());
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("SOAP-ENV:Fault"), std::string::npos);
}

TEST_F(SoapClientTest, FailuresCallBackOnceAndLeaveTheFileAlone) {
  write(responseFile(), "earlier answer");
  serve(sim::Fault::Reset);
  EXPECT_EQ(exchange().first, 3);
  EXPECT_EQ(context.calls, 1);

  // A refused connection: a port nobody listens on.
  int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(probe);  // bound but never listening, then released: connecting is refused
  auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(
      "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/vorelia-mfp-srv", &context);
  ASSERT_TRUE(client);
  client->sendMessage(kBody);
  EXPECT_EQ(client->finishedState(), 3);
  EXPECT_EQ(context.calls, 2);
  EXPECT_EQ(contents(responseFile()), "earlier answer");
}

TEST_F(SoapClientTest, NoAnswerWithinTheOverallLimitIsATimeOut) {
  write(responseFile(), "earlier answer");
  defaultExchangeLimits().overall = 300ms;
  defaultExchangeLimits().step = 100ms;
  serve(sim::Fault::NeverAnswer);
  auto [state, elapsed] = exchange();
  EXPECT_EQ(state, 2);
  EXPECT_EQ(context.calls, 1);
  EXPECT_GE(elapsed, 300ms);
  EXPECT_EQ(contents(responseFile()), "earlier answer");

  // An answer that would come after the limit (but well within the request time-out)
  // comes too late, and the client's later life is not disturbed by it.
  sim::Config late;
  late.fault = sim::Fault::Delay;
  late.delay = 800ms;
  late.folders = {{"Late"}};
  sim.setConfig(late);
  EXPECT_EQ(exchange().first, 2);
  EXPECT_EQ(context.calls, 2);
  RunLoop::current().runFor(1s);
  EXPECT_EQ(contents(responseFile()), "earlier answer");

  // A body that keeps dripping is cut off by the same limit.
  sim::Config drip;
  drip.fault = sim::Fault::SlowDrip;
  drip.delay = 100ms;
  drip.dripBytes = 4;
  drip.folders = {{"Drip"}};
  sim.setConfig(drip);
  EXPECT_EQ(exchange().first, 2);
  EXPECT_EQ(context.calls, 3);
  EXPECT_EQ(contents(responseFile()), "earlier answer");
}

TEST_F(SoapClientTest, TheRequestTimeOutFailsTheExchange) {
  defaultExchangeLimits().request = 200ms;
  defaultExchangeLimits().overall = 5s;
  serve(sim::Fault::NeverAnswer);
  auto [state, elapsed] = exchange();
  EXPECT_EQ(state, 3);
  EXPECT_EQ(context.calls, 1);
  EXPECT_LT(elapsed, 4s);
}

TEST_F(SoapClientTest, ALateTimerTouchesNothing) {
  defaultExchangeLimits().overall = 200ms;
  serve(sim::Fault::None);
  {
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(url(), &context);
    ASSERT_TRUE(client);
    client->sendMessage(kBody);
    EXPECT_EQ(client->finishedState(), 1);
    RunLoop::current().runFor(400ms);  // the timer fires while the client still exists
    EXPECT_EQ(client->finishedState(), 1);
    client->sendMessage(kBody);
  }
  RunLoop::current().runFor(400ms);  // ... and once it is gone
  EXPECT_EQ(context.calls, 0);
}

TEST_F(SoapClientTest, RedirectsKeepOnlyTheLastBodyAndStayOnTheWeb) {
  sim::Config config;
  config.fault = sim::Fault::Redirect;
  config.folders = {{"Moved"}};
  for (int status : {301, 302, 303, 307, 308}) {
    config.redirectStatus = status;
    config.redirectHops = 2;
    sim.setConfig(config);
    EXPECT_EQ(exchange().first, 1) << status;
    EXPECT_EQ(contents(responseFile()), sim::folderListDocument({{"Moved"}})) << status;
  }
  // Every hop is the same POST, checked like the first.
  for (const auto& request : sim.requests()) EXPECT_EQ(request.problems, std::vector<std::string>{});
  EXPECT_EQ(context.calls, 0);

  write(responseFile(), "earlier answer");
  config.redirectHops = 50;  // a loop: given up after a few hops
  sim.setConfig(config);
  std::size_t before = sim.requests().size();
  EXPECT_EQ(exchange().first, 3);
  EXPECT_LE(sim.requests().size() - before, 6u);
  for (const char* elsewhere : {"file:///etc/passwd", "ftp://127.0.0.1/list", "gopher://127.0.0.1/"}) {
    config.redirectHops = 1;
    config.redirectLocation = elsewhere;
    sim.setConfig(config);
    EXPECT_EQ(exchange().first, 3) << elsewhere;
  }
  EXPECT_EQ(context.calls, 4);
  EXPECT_EQ(contents(responseFile()), "earlier answer");
}

TEST_F(SoapClientTest, AnOversizedAnswerFailsAndIsNotKept) {
  write(responseFile(), "earlier answer");
  defaultExchangeLimits().maxResponseBytes = 1u << 20;
  sim::Config config;
  config.fault = sim::Fault::HugeBody;
  config.hugeBytes = 8u << 20;
  sim.setConfig(config);
  auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(url(), &context);
  ASSERT_TRUE(client);
  client->sendMessage(kBody);
  EXPECT_EQ(client->finishedState(), 3);
  EXPECT_NE(client->lastError().find("larger than"), std::string::npos) << client->lastError();
  EXPECT_EQ(context.calls, 1);
  EXPECT_EQ(contents(responseFile()), "earlier answer");

  // Just under the limit is fine.
  config.hugeBytes = 512u << 10;
  sim.setConfig(config);
  EXPECT_EQ(exchange().first, 1);
  EXPECT_GE(contents(responseFile())->size(), 512u << 10);
}

TEST_F(SoapClientTest, BadURLsAndImpossibleConnections) {
  // Not a URL at all: no client.
  for (const char* text : {"http://a b/vorelia-mfp-srv", "http://<printer>/x", "no scheme",
                           "http://host%zz/x", "http://caf\xC3\xA9/x", ""})
    EXPECT_EQ(VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(text, &context), nullptr) << text;

  // A URL, but nothing a connection can be made to: a trace line and nothing else.
  write(responseFile(), "earlier answer");
  for (const char* text : {"http://127.0.0.1:99999/vorelia-mfp-srv", "http://[::1/vorelia-mfp-srv",
                           "http://printer:port/vorelia-mfp-srv", "mailto:printer@example.com"}) {
    auto client = VoreliaPrintPdeTz630eJCSOAPClient::initWithServerName(text, &context);
    ASSERT_TRUE(client) << text;
    clearTrace();
    auto start = Clock::now();
    client->sendMessage(kBody);
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_EQ(traceMessages(), std::vector<std::string>{"Connection fail"}) << text;
  }
  EXPECT_EQ(context.calls, 0);
  EXPECT_EQ(contents(responseFile()), "earlier answer");
  EXPECT_TRUE(sim.requests().empty());
}

TEST_F(SoapClientTest, UserEventsAreHandledDuringTheWait) {
  sim::Config config;
  config.fault = sim::Fault::Delay;
  config.delay = 300ms;
  sim.setConfig(config);
  int handled = 0;
  RunLoop::current().post([&] { ++handled; });
  RunLoop::current().addTimer(100ms, [&] { ++handled; });
  EXPECT_EQ(exchange().first, 1);
  EXPECT_EQ(handled, 2);
}

}  // namespace
}  // namespace jc::test
