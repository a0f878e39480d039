// The error convention: a result answers its value or its refusal, never both.
#include "platform/base/result.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

jc::Result<int> parsed(bool good) {
  if (!good) return jc::Refusal{"\"x\": not a number"};
  return 42;
}

jc::Result<> checked(bool good) {
  if (!good) return jc::Refusal{"refused"};
  return jc::accepted();
}

TEST(Result, AnswersValueOrRefusal) {
  jc::Result<int> good = parsed(true);
  ASSERT_TRUE(good.ok());
  EXPECT_EQ(*good, 42);
  EXPECT_EQ(good.message(), "");

  jc::Result<int> bad = parsed(false);
  EXPECT_FALSE(bad);
  EXPECT_EQ(bad.refusal().message, "\"x\": not a number");
  EXPECT_EQ(bad.message(), "\"x\": not a number");

  // A move-only value is held and moved out as is.
  jc::Result<std::unique_ptr<int>> owned = std::make_unique<int>(7);
  ASSERT_TRUE(owned);
  std::unique_ptr<int> taken = std::move(*owned);
  EXPECT_EQ(*taken, 7);

  EXPECT_TRUE(checked(true));
  EXPECT_TRUE(jc::Result<>{});
  EXPECT_FALSE(checked(false));
  EXPECT_EQ(checked(false).message(), "refused");
  EXPECT_EQ(checked(true).message(), "");
}

}  // namespace
