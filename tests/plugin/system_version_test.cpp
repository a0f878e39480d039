// The system version read from its property list, and the later-than-10.4 question.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "plugin/system_version.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

class SystemVersion : public ::testing::Test {
 protected:
  void use(const std::string& version) {
    std::ofstream(file_) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<plist version=\"1.0\"><dict><key>ProductName</key><string>X</string>"
                            "<key>ProductVersion</key><string>"
                         << version << "</string></dict></plist>\n";
    setSystemVersionFile(file_.string());
  }
  void TearDown() override {
    setSystemVersionFile("");
    fs::remove(file_);
  }
  fs::path file_ =
      fs::temp_directory_path() / ("jc-version-" + std::to_string(::getpid()) + ".plist");
};

TEST_F(SystemVersion, LeopardOrLaterNeedsMajorAbove10OrMinorAbove4) {
  struct Case {
    const char* version;
    bool later;
  };
  for (const Case& c :
       {Case{"10.4.11", false}, Case{"10.5", true}, Case{"10.5.8", true}, Case{"10", false},
        Case{"11.0", true}, Case{"9.9", false}, Case{" +10.6", true}, Case{"x.9", false}}) {
    use(c.version);
    EXPECT_EQ(runningOnLeopardOrLater(), c.later) << c.version;
  }
  setSystemVersionFile("/nonexistent/SystemVersion.plist");
  EXPECT_FALSE(runningOnLeopardOrLater());
}

TEST_F(SystemVersion, OnlyComponentsThatExistOverwriteTheCallersValues) {
  std::int32_t major = 7, minor = 8, revision = 9;
  use("12.3.4.5");
  get_system_version(&major, &minor, &revision);
  EXPECT_EQ((std::array{major, minor, revision}), (std::array{12, 3, 4}));
  major = 7, minor = 8, revision = 9;
  use("10");
  get_system_version(&major, &minor, &revision);
  EXPECT_EQ((std::array{major, minor, revision}), (std::array{10, 8, 9}));
  use("10.abc");
  get_system_version(&major, &minor, &revision);
  EXPECT_EQ(minor, 0);  // a component without digits counts as 0
  use("99999999999.1");
  get_system_version(&major, &minor, &revision);
  EXPECT_EQ(major, 2147483647);                   // saturates instead of overflowing
  get_system_version(nullptr, nullptr, nullptr);  // null pointers are skipped

  std::ofstream(file_) << "not a property list";
  major = 7;
  get_system_version(&major, &minor, &revision);
  EXPECT_EQ(major, 7);
}

}  // namespace
}  // namespace jc
