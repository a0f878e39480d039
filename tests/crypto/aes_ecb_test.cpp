// The credential cipher: known answers under both keys, zero padding, buffer limits, and
// deciphering back, including partial trailing blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "crypto/aes_ecb.h"
#include "crypto/credential_codecs.h"
#include "settings/hex_text.h"

namespace jc::crypto {
namespace {

using Bytes = std::vector<unsigned char>;
constexpr int kOutSize = 511;
// A spool-time text; its last 16 characters, "6 14:07:09 +0900", are the run-time key.
constexpr const char* kKeyText = "Thu, 5 Mar 2026 14:07:09 +0900";

bool all(const Bytes& b, unsigned char v) {
  return std::all_of(b.begin(), b.end(), [v](unsigned char x) { return x == v; });
}

// Enciphers into a 511-byte buffer that held other bytes, checks that everything past the
// cipher is zero, and answers the cipher as hex.
std::string cipherHex(const char* plain, const char* keyText = nullptr) {
  Bytes out(kOutSize, 0xAA);
  keyText ? my_aes_encrypt2(plain, keyText, out.data(), kOutSize)
          : my_aes_encrypt(plain, out.data(), kOutSize);
  const auto size = static_cast<long>(cipherLength(std::char_traits<char>::length(plain)));
  EXPECT_TRUE(all(Bytes(out.begin() + size, out.end()), 0)) << plain;
  return settings::hexText(
      std::span<const std::uint8_t>(out.data(), static_cast<std::size_t>(size)));
}

TEST(AesEcb, MatchesIndependentlyComputedCiphersUnderBothKeys) {
  // Expected values from `openssl enc -aes-128-ecb -nopad -K <key>` over the zero-padded text.
  // A whole block gets no padding block; one byte more gets a second block of that byte and
  // 15 zeros; equal plain blocks give equal cipher blocks (no chaining).
  const std::string abc = "D577B61AE0A423AEB44D673F6C17BB35";
  const struct {
    const char *plain, *key;
    std::string hex;
  } cases[] = {{"1234", nullptr, "7411EF39CD63E8892E24EC3C2145985C"},
               {"ABCDEFGHIJKLMNOP", nullptr, abc},
               {"ABCDEFGHIJKLMNOPQ", nullptr, abc + "0E7D9375D4E93A7B94B84B71056F61B8"},
               {"ABCDEFGHIJKLMNOPABCDEFGHIJKLMNOP", nullptr, abc + abc},
               {"secret-password-0020", nullptr,
                "0FD64A905BA7650A19642DC6AE16DE1D55865FE77A2612ED5635EBA9E260BF53"},
               {"1234", kKeyText, "49F68BE15F2639CA25D8A12F1520A5AB"},
               {"secret-password-0020", kKeyText,
                "3667FBC804C1C5A9FDD2BE540F9A6F97284CEFB487ED5F3C45657D4AEF040989"},
               // Only the last 16 characters of the key text count.
               {"1234", "Wed, 15 Jan 1999 14:07:09 +0900x6 14:07:09 +0900",
                "49F68BE15F2639CA25D8A12F1520A5AB"}};
  for (const auto& c : cases) EXPECT_EQ(cipherHex(c.plain, c.key), c.hex) << c.plain;
}

TEST(AesEcb, StaysWithinItsBufferAndEnciphersNothingWithoutTextOrKey) {
  Bytes out(kOutSize, 0xAA);
  my_aes_encrypt("", out.data(), kOutSize);
  EXPECT_TRUE(all(out, 0));
  std::fill(out.begin(), out.end(), 0xAA);
  my_aes_encrypt2("1234", "fifteen chars..", out.data(), kOutSize);  // no 16-byte key
  EXPECT_TRUE(all(out, 0));

  std::fill(out.begin(), out.end(), 0xAA);
  my_aes_encrypt(nullptr, out.data(), kOutSize);
  my_aes_encrypt2("1234", nullptr, out.data(), kOutSize);
  my_aes_encrypt("1234", out.data(), -1);
  my_aes_encrypt("1234", nullptr, kOutSize);
  EXPECT_TRUE(all(out, 0xAA));

  // 17 bytes need 32; with room for 20 only the first block is written, the rest zeroed.
  Bytes small(20, 0xAA);
  my_aes_encrypt("ABCDEFGHIJKLMNOPQ", small.data(), static_cast<int>(small.size()));
  EXPECT_EQ(settings::hexText(std::span<const std::uint8_t>(small.data(), 16)),
            "D577B61AE0A423AEB44D673F6C17BB35");
  EXPECT_TRUE(all(Bytes(small.begin() + 16, small.end()), 0));
}

TEST(AesDecrypt, GivesThePlainTextBackAndNeverReadsAPartialTrailingBlock) {
  // Exact-size buffers, so a read past inlen or a write past inlen + 1 trips the sanitizer;
  // the partial block and the NUL after the text come out as zeros.
  Bytes cipher = settings::hexBytes("D577B61AE0A423AEB44D673F6C17BB3511223344");
  std::vector<char> out(cipher.size() + 1, 'x');
  my_aes_decrypt(cipher.data(), static_cast<int>(cipher.size()), out.data());
  EXPECT_EQ(std::string(out.data(), 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(std::vector<char>(out.begin() + 16, out.end()), std::vector<char>(5, 0));

  std::string empty = "untouched";
  my_aes_decrypt(cipher.data(), 0, empty.data());
  EXPECT_EQ(empty, std::string("\0ntouched", 9));
}

TEST(AesEcb, EveryPanelLengthRoundTripsUnderTheStoredKey) {
  for (std::size_t n = 1; n <= 255; ++n) {
    std::string plain(n, '\0');
    for (std::size_t i = 0; i < n; ++i) plain[i] = static_cast<char>(1 + (i * 37 + n) % 255);
    Bytes cipher(kOutSize);
    my_aes_encrypt(plain.c_str(), cipher.data(), kOutSize);
    const int size = static_cast<int>(cipherLength(n));
    std::vector<char> back(static_cast<std::size_t>(size) + 1);
    my_aes_decrypt(cipher.data(), size, back.data());
    ASSERT_EQ(std::string(back.data()), plain) << n;
    EXPECT_EQ(decipher(kStoredKey, encipher(kStoredKey, plain)), plain);
  }
}

}  // namespace
}  // namespace jc::crypto
