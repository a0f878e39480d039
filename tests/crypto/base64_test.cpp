// Base64: the published test vectors, the stop rule of decoding, the counts the callers
// size buffers with, and round trips of every byte value.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "crypto/base64.h"
#include "crypto/credential_codecs.h"

namespace jc::crypto {
namespace {

std::string encode(const std::string& bytes) {
  std::vector<char> out(static_cast<std::size_t>(Base64encode_len(static_cast<int>(bytes.size()))),
                        'x');
  const int written = Base64encode(out.data(), bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_EQ(written, static_cast<int>(out.size()));
  EXPECT_EQ(out.back(), '\0');
  return out.data();
}

// Decodes into a buffer of exactly Base64decode_len bytes; answers the bytes decoded.
std::string decode(const char* coded) {
  std::vector<char> out(static_cast<std::size_t>(Base64decode_len(coded)), 'x');
  const int n = Base64decode(out.data(), coded);
  EXPECT_LT(n, static_cast<int>(out.size()));
  EXPECT_EQ(out[static_cast<std::size_t>(n)], '\0');
  return std::string(out.data(), static_cast<std::size_t>(n));
}

TEST(Base64, MatchesThePublishedVectorsBothWays) {
  // RFC 4648, section 10.
  const std::pair<const char*, const char*> vectors[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (const auto& [plain, coded] : vectors) {
    EXPECT_EQ(encode(plain), coded);
    EXPECT_EQ(decode(coded), plain) << coded;
  }
  // The login name "alice" as its key carries it: stored-key cipher, then Base64 (the
  // expected text from `openssl enc -aes-128-ecb -nopad ... | openssl base64`).
  unsigned char cipher[511];
  my_aes_encrypt("alice", cipher, sizeof cipher);
  EXPECT_EQ(encode(std::string(reinterpret_cast<const char*>(cipher), 16)),
            "u0Sui0zafcKIUuEg6g4p4g==");
  // The same under the run-time key of a save, as the printer-side copy carries it.
  my_aes_encrypt2("alice", "Thu, 5 Mar 2026 14:07:09 +0900", cipher, sizeof cipher);
  EXPECT_EQ(encode(std::string(reinterpret_cast<const char*>(cipher), 16)),
            "BbHt3WZOUsHqv8p11Jq99w==");
}

TEST(Base64, DecodingStopsAtTheFirstCharacterOutsideTheAlphabet) {
  // Unpadded final pairs and triples decode; a lone final character carries no byte.
  for (const auto& [coded, plain] : {std::pair{"Zm9v\nYmFy", "foo"},
                                     {"Zg", "f"},
                                     {"Zm8", "fo"},
                                     {"Zm9vY", "foo"},
                                     {"*Zm9v", ""}})
    EXPECT_EQ(decode(coded), plain) << coded;
  EXPECT_EQ(Base64decode_len("Zm9v\nYmFy"), 4);
  EXPECT_EQ(Base64decode_len("u0Sui0zafcKIUuEg6g4p4gAA"), 19);
  EXPECT_EQ(Base64decode_len(""), 1);

  char out[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(Base64decode(out, ""), 0);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], 'x');
}

TEST(Base64, OddLengthsAndNullPointersAreHandled) {
  char out[8] = "xxxxxxx";
  EXPECT_EQ(Base64encode(out, "abc", -5), 1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(Base64encode(out, nullptr, 3), 1);
  EXPECT_EQ(Base64encode(nullptr, "abc", 3), 0);
  EXPECT_EQ(Base64decode(nullptr, "Zm9v"), 0);
  EXPECT_EQ(Base64decode(out, nullptr), 0);
  EXPECT_EQ(Base64encode_len(-1), 1);
  EXPECT_EQ(Base64encode_len(1610612733), INT_MAX - 2);
  EXPECT_EQ(Base64encode_len(1610612734), 0);  // would not fit in an int
  EXPECT_EQ(Base64encode(out, "abc", INT_MAX), 0);
  EXPECT_EQ(Base64decode_len(nullptr), 1);
}

TEST(Base64, EveryByteValueRoundTripsAtEveryPanelLength) {
  for (std::size_t n = 0; n <= 300; ++n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + n);
    const std::string text = base64Encode(bytes);
    ASSERT_EQ(text.size(), (n + 2) / 3 * 4);
    ASSERT_EQ(base64Decode(text), bytes) << n;
  }
}

}  // namespace
}  // namespace jc::crypto
