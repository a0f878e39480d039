// PPDs opened from text in memory, as the command line's built-in demo printer is.
#include <gtest/gtest.h>

#include <fcntl.h>

#include "platform/host/memory_host.h"
#include "support/scratch.h"
#include "support/test_paths.h"

namespace jc {
namespace {

TEST(MemoryHost, OpensAPPDFromTextAsItWouldFromItsFileAndReportsBadText) {
  const std::string demo = std::string(test::kSourceDir) + "/tools/ppd/vorelia-demo.ppd";
  const std::string text = test::contents(demo).value();
  Result<PPDHandle> fromText = openPPDText(text);
  ASSERT_TRUE(fromText) << fromText.message();
  Result<PPDHandle> fromFile = openPPDFile(demo);
  ASSERT_TRUE(fromFile) << fromFile.message();
  EXPECT_STREQ((*fromText)->modelname, (*fromFile)->modelname);
  EXPECT_EQ((*fromText)->num_groups, (*fromFile)->num_groups);

  // No descriptor is left open by either outcome.
  int before = ::open("/dev/null", O_RDONLY);
  ::close(before);
  Result<PPDHandle> bad = openPPDText("not a PPD at all\n");
  EXPECT_FALSE(bad);
  EXPECT_NE(bad.message().find("built-in PPD"), std::string::npos);
  EXPECT_TRUE(openPPDText(text));
  int after = ::open("/dev/null", O_RDONLY);
  ::close(after);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace jc
