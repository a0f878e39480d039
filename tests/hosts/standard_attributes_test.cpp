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

PrinterAnswer answered(const StandardJobSupport& support) {
  return PrinterAnswer{support, "", false};
}

TEST(StandardAttributes, MapsByModeSupportAndBackend) {
  const PanelJobChoices job = secureJob();
  const StandardJobSupport secure = securePrinter(), nothing;
  auto offering = [](std::vector<std::string> encryptions) {
    StandardJobSupport s = securePrinter();
    s.passwordEncryptions = std::move(encryptions);
    return answered(s);
  };
  PanelJobChoices noCode = secureJob();
  noCode.retention = false;  // a pass code without retention goes nowhere
  const PrinterAnswer silent{std::nullopt, "timed out", false},
      notIpp{std::nullopt, "socket device", true};
  struct Row {
    const char* what;
    PanelJobChoices choices;
    PrinterAnswer answer;
    bool vendorFilter, backendHashes;
    StandardAttributesMode mode;
    const char* encryption;  // job-password-encryption sent; nullptr: no job-password
    bool refused, unheld;
  };
  // clang-format off
  const Row rows[] = {
      {"plain backend: the clear code with none", job, answered(secure), false, false, Auto, "none", false, false},
      {"hashing backend: the strongest digest", job, answered(secure), false, true, Auto, "sha2-256", false, false},
      {"the SHA-2 family before sha and md5", job, offering({"md5", "sha", "sha2-224", "none"}), false, true, Auto, "sha2-224", false, false},
      {"md5 before none", job, offering({"none", "md5"}), false, true, Auto, "md5", false, false},
      {"digest only, plain backend: refused", job, offering({"sha2-256"}), false, false, Auto, nullptr, true, false},
      {"nothing the backend makes: refused", job, offering({"x-vendor-hash"}), false, true, Auto, nullptr, true, false},
      {"no encryption named: none", job, offering({}), false, true, Auto, "none", false, false},
      {"vendor filter: nothing in auto", job, answered(secure), true, false, Auto, nullptr, false, false},
      {"vendor filter: everything when always", job, answered(secure), true, false, Always, "none", false, false},
      {"never", job, answered(secure), false, false, Never, nullptr, false, false},
      {"advertises nothing: nothing in auto", job, answered(nothing), false, false, Auto, nullptr, false, false},
      {"no answer, held: refused, would print at once", job, silent, false, true, Auto, nullptr, true, true},
      {"no answer, not held: goes with a note", noCode, silent, false, true, Auto, nullptr, false, false},
      {"no IPP printer to ask: goes with a note", job, notIpp, false, true, Auto, nullptr, false, false},
      {"no answer: never prints it unheld", job, silent, false, true, Never, nullptr, false, false},
      {"no answer: always sends with none", job, silent, false, false, Always, "none", false, false},
  };
  // clang-format on
  for (const Row& r : rows) {
    StandardAttributes got =
        mapStandardAttributes(r.choices, r.answer, r.vendorFilter, r.backendHashes, r.mode);
    std::optional<std::string> encryption;
    for (const auto& [name, value] : got.options)
      if (name == "job-password-encryption") encryption = value;
    EXPECT_EQ(encryption, r.encryption ? std::optional<std::string>(r.encryption) : std::nullopt)
        << r.what;
    EXPECT_EQ(got.refusal.has_value(), r.refused) << r.what;
    EXPECT_EQ(got.wouldPrintUnheld, r.unheld) << r.what;
    if (r.refused) {
      EXPECT_TRUE(got.options.empty()) << r.what;
    }
  }
  // What goes beside the pass code, and the note for a printer naming no encryption.
  const Options all = {{"job-password", "1234"},
                       {"job-password-encryption", "none"},
                       {"job-account-id", "42"},
                       {"job-accounting-user-id", "alice"}};
  EXPECT_EQ(mapStandardAttributes(job, answered(secure), false, false, Auto).options, all);
  EXPECT_EQ(mapStandardAttributes(job, offering({}), false, true, Auto).notes.size(), 1u);
  EXPECT_NE(mapStandardAttributes(job, silent, false, true, Auto).refusal->find("timed out"),
            std::string::npos);
}

TEST(StandardAttributes, RefusesACodeOutsideThePrintersLimitsAndNotesWhatIsLost) {
  PanelJobChoices shortCode = secureJob(), filed = secureJob();
  shortCode.passCode = "123";
  StandardAttributes refused =
      mapStandardAttributes(shortCode, answered(securePrinter()), false, false, Auto);
  ASSERT_TRUE(refused.refusal);
  EXPECT_NE(refused.refusal->find("4 to 8"), std::string::npos) << *refused.refusal;
  EXPECT_TRUE(refused.options.empty());
  StandardJobSupport small = securePrinter();
  small.passwordLength.reset();
  small.passwordMaxOctets = 3;
  EXPECT_TRUE(mapStandardAttributes(secureJob(), answered(small), false, false, Always).refusal);

  filed.filing = filed.samplePrint = true;
  EXPECT_EQ(
      mapStandardAttributes(filed, answered(securePrinter()), false, false, Auto).notes.size(), 2u);
  EXPECT_TRUE(
      mapStandardAttributes(filed, answered(securePrinter()), true, false, Always).notes.empty());
  PanelJobChoices unheld = secureJob();
  unheld.retention = false;
  StandardAttributes unknown =
      mapStandardAttributes(unheld, {std::nullopt, "timed out", false}, false, false, Auto);
  ASSERT_EQ(unknown.notes.size(), 1u);
  EXPECT_NE(unknown.notes[0].find("timed out"), std::string::npos);

  // A printer's list reaches a message as its first few words, each cut short.
  StandardJobSupport flood = securePrinter();
  flood.passwordEncryptions.assign(10000, "\x1b]0;owned\x07" + std::string(100, 'x'));
  StandardAttributes capped =
      mapStandardAttributes(secureJob(), answered(flood), false, true, Auto);
  ASSERT_TRUE(capped.refusal);
  EXPECT_LT(capped.refusal->size(), 400u) << *capped.refusal;
  EXPECT_NE(capped.refusal->find("and 9995 more"), std::string::npos) << *capped.refusal;
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

}  // namespace
}  // namespace jc
