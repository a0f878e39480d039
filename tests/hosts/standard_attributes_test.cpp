// The mapping of the panel's choices to standard IPP job attributes, and the vendor-filter
// test of a queue's PPD.
#include "hosts/common/standard_attributes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace jc {
namespace {

using Options = std::vector<std::pair<std::string, std::string>>;

StandardJobSupport securePrinter() {
  StandardJobSupport s;
  s.passwordMaxOctets = 8;
  s.passwordEncryptions = {"none", "md5", "sha2-256"};
  s.passwordLength = std::make_pair(4, 8);
  s.accountId = true;
  s.accountingUserId = true;
  return s;
}

PanelJobChoices secureJob() {
  PanelJobChoices c;
  c.retention = true;
  c.passCode = "1234";
  c.accountNumber = "42";
  c.accountingUser = "alice";
  return c;
}

const auto Auto = StandardAttributesMode::Auto, Always = StandardAttributesMode::Always,
           Never = StandardAttributesMode::Never;

TEST(StandardAttributes, MapsByModeSupportAndBackend) {
  const PanelJobChoices job = secureJob();
  const StandardJobSupport secure = securePrinter(), nothing;
  StandardJobSupport digestOnly = securePrinter();
  digestOnly.passwordEncryptions = {"sha2-256"};
  PanelJobChoices noCode = secureJob();
  noCode.retention = false;  // a pass code without retention goes nowhere
  struct Row {
    const char* what;
    PanelJobChoices choices;
    std::optional<StandardJobSupport> support;
    bool vendorFilter, backendHashes;
    StandardAttributesMode mode;
    Options options;
    bool refused;
  };
  const Options all = {{"job-password", "1234"},
                       {"job-password-encryption", "none"},
                       {"job-account-id", "42"},
                       {"job-accounting-user-id", "alice"}};
  Options digested = all;
  digested[1].second = "sha2-256";
  // clang-format off
  const Row rows[] = {
      {"plain backend: the clear code with none", job, secure, false, false, Auto, all, false},
      {"hashing backend: the strongest digest", job, secure, false, true, Auto, digested, false},
      {"digest only, plain backend: refused", job, digestOnly, false, false, Auto, {}, true},
      {"vendor filter: nothing in auto", job, secure, true, false, Auto, {}, false},
      {"vendor filter: everything when always", job, secure, true, false, Always, all, false},
      {"never", job, secure, false, false, Never, {}, false},
      {"advertises nothing: nothing in auto", job, nothing, false, false, Auto, {}, false},
      {"did not answer: nothing in auto", job, std::nullopt, false, false, Auto, {}, false},
      {"no answer: always sends with none", job, std::nullopt, false, false, Always, all, false},
      {"retention off", noCode, secure, false, false, Auto,
       {{"job-account-id", "42"}, {"job-accounting-user-id", "alice"}}, false},
  };
  // clang-format on
  for (const Row& r : rows) {
    StandardAttributes got = mapStandardAttributes(r.choices, r.support, "no answer",
                                                   r.vendorFilter, r.backendHashes, r.mode);
    EXPECT_EQ(got.options, r.refused ? Options{} : r.options) << r.what;
    EXPECT_EQ(got.refusal.has_value(), r.refused) << r.what;
  }
}

TEST(StandardAttributes, RefusesACodeOutsideThePrintersLimitsAndNotesWhatIsLost) {
  PanelJobChoices shortCode = secureJob(), filed = secureJob();
  shortCode.passCode = "123";
  StandardAttributes refused =
      mapStandardAttributes(shortCode, securePrinter(), "", false, false, Auto);
  ASSERT_TRUE(refused.refusal);
  EXPECT_NE(refused.refusal->find("4 to 8"), std::string::npos) << *refused.refusal;
  EXPECT_TRUE(refused.options.empty());
  StandardJobSupport small = securePrinter();
  small.passwordLength.reset();
  small.passwordMaxOctets = 3;
  EXPECT_TRUE(mapStandardAttributes(secureJob(), small, "", false, false, Always).refusal);

  filed.filing = filed.samplePrint = true;
  EXPECT_EQ(mapStandardAttributes(filed, securePrinter(), "", false, false, Auto).notes.size(), 2u);
  EXPECT_TRUE(mapStandardAttributes(filed, securePrinter(), "", true, false, Always).notes.empty());
  StandardAttributes unknown =
      mapStandardAttributes(secureJob(), std::nullopt, "timed out", false, false, Auto);
  ASSERT_EQ(unknown.notes.size(), 1u);
  EXPECT_NE(unknown.notes[0].find("timed out"), std::string::npos);
}

TEST(StandardAttributes, AVendorFilterIsAProgramInAPPDCUPSDidNotGenerate) {
  struct Row {
    const char* lines;
    bool vendor;
  };
  const Row rows[] = {
      {"*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 -\"\n", false},
      {"*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 vorelia-filter\"\n", true},
      {"*cupsFilter: \"application/vnd.cups-pdf 0 /usr/lib/x/filter\"\n", true},
      {"*PCFileName: \"ippeve.ppd\"\n*cupsFilter2: \"image/urf image/urf 0 urftopdf\"\n", false},
      {"", false},
  };
  auto dir = std::filesystem::temp_directory_path() / ("jc-vendor-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const Row& r : rows) {
    auto path = dir / "q.ppd";
    std::ofstream(path) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1\"\n"
                           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                           "*Manufacturer: \"X\"\n*ModelName: \"X\"\n*ShortNickName: \"X\"\n"
                           "*NickName: \"X\"\n*PSVersion: \"(3010.000) 0\"\n"
                        << r.lines;
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    ASSERT_NE(ppd, nullptr) << r.lines;
    EXPECT_EQ(hasVendorFilter(ppd), r.vendor) << r.lines;
    ppdClose(ppd);
  }
  EXPECT_FALSE(hasVendorFilter(nullptr));
  std::filesystem::remove_all(dir);
}

TEST(StandardAttributes, AnAddressThatIsNotIPPIsNotAsked) {
  Result<StandardJobSupport> asked = queryStandardJobSupport("socket://127.0.0.1:9100", 1000);
  EXPECT_FALSE(asked);
  EXPECT_NE(asked.message().find("not an IPP printer"), std::string::npos) << asked.message();
  // Nothing listens on port 1 of the loopback: refused at once.
  asked = queryStandardJobSupport("ipp://127.0.0.1:1/ipp/print", 1000);
  EXPECT_NE(asked.message().find("127.0.0.1:1"), std::string::npos) << asked.message();
}

}  // namespace
}  // namespace jc
