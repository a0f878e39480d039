// A queue's PPD with Job Control: what libcups reads of it, the filter kept, the original
// given back byte for byte, and the PPDs it refuses.
#include "hosts/common/queue_ppd.h"

#include <cups/ppd.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "hosts/common/queue_options.h"
#include "platform/host/memory_host.h"
#include "support/test_paths.h"

namespace jc {
namespace {

std::string demoPPD() {
  std::ifstream in(std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(QueuePPD, LibcupsReadsTheGroupAndItsCustomValuesAndTheFilterRunsBehindTheWrapper) {
  const std::string original = replaced(demoPPD(), "vnd.cups-pdf 0 -", "vnd.cups-pdf 0 vordrv");
  auto enabled = addJobControl(original, "jobcontrol-filter", {"Sales", "Zoë's/Board: \"Q\""});
  ASSERT_TRUE(enabled) << enabled.message();
  EXPECT_NE(enabled->text.find(
                "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 jobcontrol-filter\""),
            std::string::npos);
  auto ppd = openPPDText(enabled->text);
  ASSERT_TRUE(ppd) << ppd.message();
  ppd_group_t* group = nullptr;
  for (int i = 0; i < (*ppd)->num_groups; ++i)
    if (std::string((*ppd)->groups[i].name) == kQueueGroup) group = &(*ppd)->groups[i];
  ASSERT_NE(group, nullptr);
  EXPECT_STREQ(group->text, "Job Control");
  ASSERT_EQ(group->num_options, static_cast<int>(queueOptions().size()));

  struct Expect {
    const char* keyword;
    const char* defaultChoice;
    int choices;
    const char* customType;  // nullptr: no custom value
  };
  for (const Expect& e :
       std::initializer_list<Expect>{{"JCRetention", "None", 4, nullptr},
                                     {"JCPassCode", "None", 1, "passcode"},
                                     {"JCFiling", "None", 5, nullptr},
                                     {"JCAuthentication", "None", 3, nullptr},
                                     {"JCLoginName", "None", 1, "string"},
                                     {"JCPassword", "None", 1, "password"},
                                     {"JCAccountNumber", "None", 1, "passcode"}}) {
    SCOPED_TRACE(e.keyword);
    ppd_option_t* option = ppdFindOption(ppd->get(), e.keyword);
    ASSERT_NE(option, nullptr);
    EXPECT_STREQ(option->defchoice, e.defaultChoice);
    EXPECT_EQ(option->num_choices, e.choices + (e.customType ? 1 : 0));
    ppd_coption_t* custom = ppdFindCustomOption(ppd->get(), e.keyword);
    ASSERT_EQ(custom != nullptr, e.customType != nullptr);
    if (!custom) continue;
    ppd_cparam_t* param = ppdFirstCustomParam(custom);
    ASSERT_NE(param, nullptr);
    static const std::map<std::string, ppd_cptype_t> kTypes = {{"passcode", PPD_CUSTOM_PASSCODE},
                                                               {"string", PPD_CUSTOM_STRING},
                                                               {"password", PPD_CUSTOM_PASSWORD}};
    EXPECT_EQ(param->type, kTypes.at(e.customType));
  }
  EXPECT_EQ(ppdFindCustomParam(ppdFindCustomOption(ppd->get(), "JCPassword"), "Value")
                ->maximum.custom_string,
            31);

  // The folders' captions written in the PPD's Latin-1, their full names for the wrapper.
  ppd_choice_t* board = ppdFindChoice(ppdFindOption(ppd->get(), "JCFiling"), "Folder2");
  ASSERT_NE(board, nullptr);
  EXPECT_STREQ(board->text, "Zoë's/Board: \"Q\"");  // libcups turns Latin-1 into UTF-8
  auto queue = readJobControlQueue(enabled->text);
  ASSERT_TRUE(queue) << queue.message();
  EXPECT_EQ(queue->realFilter, "vordrv");
  EXPECT_EQ(queue->folders, (std::map<std::string, std::string>{
                                {"Folder1", "Sales"}, {"Folder2", "Zoë's/Board: \"Q\""}}));
  EXPECT_TRUE(carriesJobControl(enabled->text));
  EXPECT_FALSE(carriesJobControl(original));
}

TEST(QueuePPD, GivesBackTheOriginalByteForByteWhateverItsLineEnds) {
  const std::string demo = demoPPD();
  std::string crlf;
  for (char c : demo) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& original : {demo, crlf, demo.substr(0, demo.size() - 1),
                                      demo + "\n\n  \t\n", demo + std::string("\x00\xFF", 2)}) {
    auto enabled = addJobControl(original, "/usr/lib/cups/filter/jobcontrol-filter", {"A"});
    ASSERT_TRUE(enabled) << enabled.message();
    EXPECT_TRUE(openPPDText(enabled->text)) << "libcups must still read it";
    auto back = originalPPD(enabled->text);
    ASSERT_TRUE(back) << back.message();
    EXPECT_EQ(*back, original);
    EXPECT_EQ(readJobControlQueue(enabled->text)->realFilter, "-");
  }
  EXPECT_FALSE(originalPPD(demo));
  auto enabled = addJobControl(demo, "w", {});
  EXPECT_FALSE(originalPPD(replaced(enabled->text, "*%JCOriginal: ", "*%JCOriginal: !")));
}

TEST(QueuePPD, RefusesPPDsItCannotServe) {
  const std::string demo = demoPPD();
  const std::string enabled = addJobControl(demo, "w", {})->text;
  const std::string filterLine = "*cupsFilter2: \"application/pdf application/vnd.cups-pdf 0 -\"";
  struct Case {
    std::string ppd;
    const char* why;
  };
  for (const Case& c : std::vector<Case>{
           {replaced(demo, "\"Vorelia\"", "\"Other\""), "made by \"Other\""},
           {replaced(demo, "VORDEMO.PPD", "ippeve.ppd"), "driverless"},
           {replaced(demo, filterLine, "*cupsFilter2: \"image/urf image/urf 0 -\""), "driverless"},
           {enabled, "carries Job Control already"},
           {replaced(demo, filterLine, ""), "names no filter"},
           {replaced(demo, filterLine, filterLine + "\n*cupsFilter2: \"a/b c/d 0 other\""),
            "differing filter programs"}}) {
    auto refused = addJobControl(c.ppd, "w", {});
    ASSERT_FALSE(refused) << c.why;
    EXPECT_NE(refused.message().find(c.why), std::string::npos) << refused.message();
  }
}

}  // namespace
}  // namespace jc
