// MD5 text: the published test suite in lower-case hex, and null arguments.
#include <gtest/gtest.h>

#include <cstring>

#include "crypto/credential_codecs.h"

namespace {

TEST(Md5Text, MatchesThePublishedSuiteAndIgnoresNullArguments) {
  // RFC 1321, appendix A.5.
  const std::pair<const char*, const char*> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  for (const auto& [text, digest] : suite) {
    char out[40];
    std::memset(out, 'x', sizeof out);
    calcMD5(out, text);
    EXPECT_STREQ(out, digest) << '"' << text << '"';
    EXPECT_EQ(out[33], 'x');  // 33 bytes and no more
  }
  calcMD5(nullptr, "abc");
  char out[4] = "old";
  calcMD5(out, nullptr);
  EXPECT_STREQ(out, "old");
}

}  // namespace
