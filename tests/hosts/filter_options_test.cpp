// The queue's filter: a job's Job Control options checked and mapped to the panel's
// entries, the standard attributes taken in, and the options argument written back.
#include "hosts/filter/filter_options.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace jc::filter {
namespace {

// A printer folder may bear the name of a fixed choice's word.
const std::map<std::string, std::string> kFolders = {
    {"Folder1", "Sales"}, {"Folder2", "Zoë Q"}, {"Folder3", "quick"}};

TEST(FilterOptions, MapsChoicesAndValuesToEntriesInThePanelsOrder) {
  struct Case {
    JobOptions options;
    std::vector<std::string> entries;
    bool retention;
  };
  const Case cases[] = {
      {{{"JCPassCode", "Custom.1234"}, {"media", "A4"}, {"JCRetention", "HoldOnly"}},
       {"retention=hold-only", "pass-code=1234"},
       true},
      {{{"JCRetention", "None"}, {"JCPassCode", "None"}, {"JCFiling", "None"}}, {}, false},
      {{{"JCRetention", "SamplePrint"}, {"JCFiling", "Folder2"}, {"JCFolderPassCode", "Custom.77"}},
       {"retention=sample", "filing-kind=custom", "folder-name=Zoë Q", "folder-pass-code=77"},
       true},
      {{{"JCRetention", "HoldOnly"}, {"JCFiling", "QuickFile"}},
       {"retention=hold-only", "filing=quick"},
       true},
      {{{"JCRetention", "HoldOnly"}, {"JCFiling", "Folder3"}},
       {"retention=hold-only", "filing-kind=custom", "folder-name=quick"},
       true},
      {{{"JCAuthentication", "UserNumber"}, {"JCUserNumber", "Custom.7"}},
       {"auth=number", "user-number=7"},
       false},
      // The standard attributes, where our options say nothing of the same.
      {{{"job-password", "4321"}, {"job-account-id", "42"}, {"job-accounting-user-id", "carol"}},
       {"retention=hold-only", "pass-code=4321", "auth=login", "login-name=carol",
        "account-number=42"},
       true},
      {{{"job-password", "4321"}, {"JCRetention", "HoldAfter"}, {"JCPassCode", "Custom.1"}},
       {"retention=hold-after", "pass-code=1"},
       true},
      // A digest is the printer's to check; the filter has no pass code to give.
      {{{"job-password", "ab12"}, {"job-password-encryption", "sha2-256"}}, {}, false},
      {{{"JCLoginName", "Custom.Zoë \"Q\""}, {"JCPassword", "Custom.s3cret !"}},
       {"login-name=Zoë \"Q\"", "password=s3cret !"},
       false},
  };
  for (const Case& c : cases) {
    auto job = mapJobOptions(c.options, kFolders);
    ASSERT_TRUE(job) << job.message();
    EXPECT_EQ(job->entries, c.entries);
    EXPECT_EQ(job->sources.size(), job->entries.size());
    EXPECT_EQ(job->asksRetention, c.retention);
    // A mapped job-password goes on only in the panel's keys.
    const bool mapped = std::count(c.entries.begin(), c.entries.end(), "pass-code=4321") > 0;
    for (const auto& [name, value] : job->passOn) {
      EXPECT_FALSE(name.starts_with("JC")) << name;
      EXPECT_FALSE(mapped && name == "job-password");
    }
  }
}

TEST(FilterOptions, RefusesWhatNoDialogShouldSendAndNeverRepeatsASecret) {
  struct Case {
    JobOptions options;
    std::string message;
  };
  const Case cases[] = {
      {{{"JCPassCode", "Custom.12a4"}}, "JCPassCode: takes digits only"},
      {{{"JCPassCode", "Custom.123456"}}, "JCPassCode: takes at most 5 characters, not 6"},
      {{{"JCPassCode", "Custom"}}, "JCPassCode: \"Custom\" with no value"},
      {{{"JCPassCode", "Custom."}}, "JCPassCode: \"Custom\" with no value"},
      {{{"JCPassword", "Custom.Nones3cret"}}, "JCPassword: the value follows the \"None\""},
      {{{"JCPassword", "s3cret"}}, "JCPassword: not a value this option takes"},
      {{{"JCPassword", "Custom.s3cr\xFFt"}}, "JCPassword: the value is not UTF-8"},
      {{{"JCAccountNumber", "Custom.-42"}}, "JCAccountNumber: takes digits only"},
      {{{"JCRetention", "holdonly"}}, "JCRetention: \"holdonly\" is not one of None, HoldOnly"},
      {{{"JCFiling", "Folder4"}}, "or the printer's folders"},
      {{{"JCFiling", "MainFolder"}}, "JCFiling: the printer files only a job it keeps"},
      {{{"JCFolderPassCode", "Custom.1"}}, "JCFolderPassCode: the printer files only"},
      {{{"JCRetention", "HoldOnly"}, {"vorelia.print.PrintSettings.jobSuspend", "0"}},
       "carries the panel's own keys already"},
      {{{"JCRetention", "HoldOnly"}, {"Vorelia.Print.PrintSettings.jobSuspend", "0"}},
       "carries the panel's own keys already"},
  };
  for (const Case& c : cases) {
    auto job = mapJobOptions(c.options, kFolders);
    ASSERT_FALSE(job) << c.message;
    EXPECT_NE(job.message().find(c.message), std::string::npos) << job.message();
    for (const char* secret : {"12a4", "123456", "s3cr", "-42"})
      EXPECT_EQ(job.message().find(secret), std::string::npos) << job.message();
  }
  for (const char* key :
       {"vorelia.print.PrintSettings.jobSuspend", "VORELIA.print.printsettings.x"}) {
    auto keysOnly = mapJobOptions({{key, "2"}}, kFolders);
    ASSERT_TRUE(keysOnly);
    EXPECT_TRUE(keysOnly->carriesKeys) << key;
  }
}

TEST(FilterOptions, TheOptionsArgumentReadsBackAsWritten) {
  const JobOptions options = {
      {"media", "A4"},
      {"vorelia.print.PrintSettings.spoolTime", "Sun, 6 Dec 2026 20:57:12 +0000"},
      {"a", "quote ' and \" and \\ and {braces}, commas"},
      {"empty", ""},
      {"tabs", "\tx\ny\r"}};
  JobOptions back = parseJobOptions(encodeJobOptions(options));
  JobOptions sorted = options;
  std::sort(sorted.begin(), sorted.end());
  std::sort(back.begin(), back.end());
  EXPECT_EQ(back, sorted);
  EXPECT_EQ(encodeJobOptions({{"bad name", "x"}, {"", "y"}, {"ok", "z"}}), "ok=z");
}

}  // namespace
}  // namespace jc::filter
