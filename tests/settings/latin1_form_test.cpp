// The scrub of the Latin-1 forms and the choice of Windows Latin-1 by system encoding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "settings/value_encodings.h"

namespace {

TEST(ReplaceSpaceCode, TurnsControlBytesAndQuotesIntoSpacesOnly) {
  std::string text = "a\"b\nc\td\x01\x08\x1f\x7f\x80\xe9 ";
  text += '\0';
  text += "\x0b!";
  ReplaceSpaceCode(reinterpret_cast<unsigned char*>(text.data()),
                   static_cast<int64_t>(text.size()));
  std::string expected = "a b c\td   \x7f\x80\xe9 ";
  expected += '\0';
  expected += " !";
  EXPECT_EQ(text, expected);

  std::string kept = "\"\n";
  ReplaceSpaceCode(reinterpret_cast<unsigned char*>(kept.data()), 0);
  ReplaceSpaceCode(reinterpret_cast<unsigned char*>(kept.data()), -1);
  ReplaceSpaceCode(nullptr, 5);
  EXPECT_EQ(kept, "\"\n");
}

TEST(EncodingWindowsLatin1, IsFalseOnlyForTheCjkSystemEncodings) {
  for (const auto& [number, expected] :
       {std::pair{"0", true}, {"1", false}, {"2", false}, {"3", false}, {"25", false}}) {
    setenv("JOBCONTROL_SYSTEM_ENCODING", number, 1);
    EXPECT_EQ(encodingWindowsLatin1(), expected) << number;
  }
  setenv("JOBCONTROL_SYSTEM_ENCODING", "0", 1);  // as the test runner pins it
}

}  // namespace
