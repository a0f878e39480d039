// The question to a printer about the standard job attributes, against hostile printers on
// loopback: it ends in time, with a reason, after few connections and without credentials.
#include <gtest/gtest.h>

#include <chrono>

#include "hostile_printer.h"
#include "hosts/common/standard_attributes.h"

namespace jc {
namespace {

using sim::Hostility;
using Clock = std::chrono::steady_clock;

TEST(PrinterQuestion, EndsInTimeWithAReasonWhateverThePrinterDoes) {
  // Whatever a person would type at a password prompt must never reach the printer.
  cupsSetPasswordCB2(
      [](const char*, http_t*, const char*, const char*, void*) -> const char* { return "secret"; },
      nullptr);
  constexpr int kTimeoutMs = 1500;
  struct Row {
    Hostility hostility;
    const char* reason;  // part of the refusal
  };
  const Row rows[] = {
      {Hostility::Silent, "did not answer within 2 s"},
      {Hostility::TrickleHeaders, "did not answer within 2 s"},
      {Hostility::TrickleBody, "did not answer within 2 s"},
      {Hostility::EndlessContinue, "did not answer Get-Printer-Attributes"},
      {Hostility::EndlessChunked, "more than 1 MiB"},
      {Hostility::Garbage, "did not answer Get-Printer-Attributes"},
      {Hostility::RedirectLoop, "more than 3 redirects"},
      {Hostility::AskPassword, "user name and password"},
  };
  const std::string answer = sim::supportAnswer({"none"}, IPP_TAG_KEYWORD);
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(sim::hostilityName(r.hostility)));
    // The printer gives up after a few seconds itself, so a question that does not end
    // fails here instead of hanging.
    sim::HostilePrinter printer(r.hostility, answer, std::chrono::seconds(6));
    ASSERT_TRUE(printer.start());
    auto started = Clock::now();
    Result<StandardJobSupport> asked = queryStandardJobSupport(
        "ipp://alice:pw@127.0.0.1:" + std::to_string(printer.port()) + "/ipp/print", kTimeoutMs);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    printer.stop();
    ASSERT_FALSE(asked);
    EXPECT_NE(asked.message().find(r.reason), std::string::npos) << asked.message();
    EXPECT_NE(asked.message().find("127.0.0.1:"), std::string::npos) << asked.message();
    EXPECT_LT(took.count(), kTimeoutMs + 1000);
    EXPECT_LE(printer.connections(), 4);
    EXPECT_FALSE(printer.sawCredentials());
  }
  cupsSetPasswordCB2(nullptr, nullptr);

  // No printer at all, and a device that is not an IPP printer.
  Result<StandardJobSupport> asked = queryStandardJobSupport("ipp://127.0.0.1:1/ipp/print", 1000);
  EXPECT_NE(asked.message().find("127.0.0.1:1"), std::string::npos) << asked.message();
  asked = queryStandardJobSupport("socket://127.0.0.1:9100", 1000);
  EXPECT_NE(asked.message().find("not an IPP printer"), std::string::npos) << asked.message();
}

TEST(PrinterQuestion, ReadsTheEncryptionsWhateverTheirStringType) {
  for (ipp_tag_t tag : {IPP_TAG_KEYWORD, IPP_TAG_NAME, IPP_TAG_TEXT}) {
    SCOPED_TRACE(ippTagString(tag));
    sim::HostilePrinter printer(Hostility::Answer, sim::supportAnswer({"MD5", "sha2-256"}, tag));
    ASSERT_TRUE(printer.start());
    Result<StandardJobSupport> asked = queryStandardJobSupport(
        "ipp://127.0.0.1:" + std::to_string(printer.port()) + "/ipp/print", 5000);
    ASSERT_TRUE(asked) << asked.message();
    EXPECT_EQ(asked->passwordEncryptions, (std::vector<std::string>{"md5", "sha2-256"}));
    EXPECT_EQ(asked->passwordMaxOctets, 8);
    EXPECT_TRUE(asked->accountId && asked->accountingUserId);
  }
}

}  // namespace
}  // namespace jc
