// The main of every test program: a fixed environment, so results do not depend on the
// user's language or encoding, and tests never touch the user's own preferences.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_paths.h"

int main(int argc, char** argv) {
  ::setenv("JOBCONTROL_SYSTEM_ENCODING", "0", 1);
  ::setenv("LANGUAGE", "", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::setenv("XDG_CONFIG_HOME", jc::test::kTestConfigDir, 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
