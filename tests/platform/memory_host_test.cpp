// PPDs opened from text in memory, as the command line's built-in demo printer is.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <fstream>
#include <sstream>

#include "platform/memory_host.h"
#include "support/test_paths.h"

namespace jc {
namespace {

TEST(MemoryHost, OpensAPPDFromTextAsItWouldFromItsFileAndReportsBadText) {
  std::ifstream in(std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd");
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  PPDHandle fromText = openPPDText(text.str(), &error);
  ASSERT_NE(fromText, nullptr) << error;
  PPDHandle fromFile =
      openPPDFile(std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd", &error);
  ASSERT_NE(fromFile, nullptr) << error;
  EXPECT_STREQ(fromText->modelname, fromFile->modelname);
  EXPECT_EQ(fromText->num_groups, fromFile->num_groups);

  // No descriptor is left open by either outcome.
  int before = ::open("/dev/null", O_RDONLY);
  ::close(before);
  EXPECT_EQ(openPPDText("not a PPD at all\n", &error), nullptr);
  EXPECT_NE(error.find("built-in PPD"), std::string::npos);
  EXPECT_NE(openPPDText(text.str(), nullptr), nullptr);
  int after = ::open("/dev/null", O_RDONLY);
  ::close(after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace jc
