// PPDs opened from text in memory, as the command line's built-in demo printer is.
#include <gtest/gtest.h>

#include <fcntl.h>

#include <fstream>
#include <sstream>

#include "platform/host/memory_host.h"
#include "support/test_paths.h"

namespace jc {
namespace {

TEST(MemoryHost, OpensAPPDFromTextAsItWouldFromItsFileAndReportsBadText) {
  std::ifstream in(std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd");
  std::stringstream text;
  text << in.rdbuf();
  Result<PPDHandle> fromText = openPPDText(text.str());
  ASSERT_TRUE(fromText) << fromText.message();
  Result<PPDHandle> fromFile =
      openPPDFile(std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd");
  ASSERT_TRUE(fromFile) << fromFile.message();
  EXPECT_STREQ((*fromText)->modelname, (*fromFile)->modelname);
  EXPECT_EQ((*fromText)->num_groups, (*fromFile)->num_groups);

  // No descriptor is left open by either outcome.
  int before = ::open("/dev/null", O_RDONLY);
  ::close(before);
  Result<PPDHandle> bad = openPPDText("not a PPD at all\n");
  EXPECT_FALSE(bad);
  EXPECT_NE(bad.message().find("built-in PPD"), std::string::npos);
  EXPECT_TRUE(openPPDText(text.str()));
  int after = ::open("/dev/null", O_RDONLY);
  ::close(after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace jc
