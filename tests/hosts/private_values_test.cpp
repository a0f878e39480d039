// JobPrivateValues in cupsd.conf: which policies show our options, and adding them.
#include "hosts/cli/private_values.h"

#include <gtest/gtest.h>

namespace jc::cli {
namespace {

TEST(PrivateValues, EveryPolicyEndsKeepingTheNamesAndNothingElseChanges) {
  const std::vector<std::string> names = {"JCPassCode", "JCPassword"};
  struct Case {
    std::string conf;
    std::vector<std::string> showing;  // before
    std::string after;
  };
  const Case cases[] = {
      {"<Policy default>\n  JobPrivateValues default\n</Policy>\n",
       {"default: JCPassCode, JCPassword"},
       "<Policy default>\n  JobPrivateValues default JCPassCode JCPassword\n</Policy>\n"},
      {"<Policy a>\nJobPrivateValues default JCPassword \r\n</Policy>\n<Policy b>\n"
       "  JobPrivateValues none\n</Policy>\n",
       {"a: JCPassCode", "b: JCPassCode, JCPassword"},
       "<Policy a>\nJobPrivateValues default JCPassword JCPassCode \r\n</Policy>\n<Policy b>\n"
       "  JobPrivateValues JCPassCode JCPassword\n</Policy>\n"},
      {"Listen x\n<Policy kiosk>\n  JobPrivateAccess all\n</Policy>\n",
       {"kiosk: JCPassCode, JCPassword"},
       "Listen x\n<Policy kiosk>\n  JobPrivateValues default JCPassCode JCPassword\n"
       "  JobPrivateAccess all\n</Policy>\n"},
      {"<Policy p>\n  JobPrivateValues all\n</Policy>\nJobPrivateValues none\n", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.conf);
    EXPECT_EQ(policiesShowing(c.conf, names), c.showing);
    const std::string after = withPrivateValues(c.conf, names);
    EXPECT_EQ(after, c.after.empty() ? c.conf : c.after);
    EXPECT_TRUE(policiesShowing(after, names).empty());
  }
}

}  // namespace
}  // namespace jc::cli
