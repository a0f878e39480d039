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

// Enciphers into a 511-byte buffer that held other bytes, checks that everything past the
// cipher is zero, and answers the cipher as hex.
std::string cipherHex(const char* plain, const char* keyText = nullptr) {
  Bytes out(kOutSize, 0xAA);
  keyText ? my_aes_encrypt2(plain, keyText, out.data(), kOutSize)
          : my_aes_encrypt(plain, out.data(), kOutSize);
  const auto size = static_cast<long>(cipherLength(std::char_traits<char>::length(plain)));
  EXPECT_TRUE(std::all_of(out.begin() + size, out.end(), [](unsigned char b) { return b == 0; }));
  return settings::hexText(
      std::span<const std::uint8_t>(out.data(), static_cast<std::size_t>(size)));
}

TEST(AesEcb, MatchesIndependentlyComputedCiphersUnderBothKeys) {
  // Expected values from `openssl enc -aes-128-ecb -nopad -K <key>` over the zero-padded text.
  EXPECT_EQ(cipherHex("1234"), "7411EF39CD63E8892E24EC3C2145985C");
  // A whole block gets no padding block; one byte more gets a second block of that byte
  // followed by 15 zeros.
  EXPECT_EQ(cipherHex("ABCDEFGHIJKLMNOP"), "D577B61AE0A423AEB44D673F6C17BB35");
  EXPECT_EQ(cipherHex("ABCDEFGHIJKLMNOPQ"),
            "D577B61AE0A423AEB44D673F6C17BB350E7D9375D4E93A7B94B84B71056F61B8");
  // No chaining: equal plain blocks give equal cipher blocks.
  EXPECT_EQ(cipherHex("ABCDEFGHIJKLMNOPABCDEFGHIJKLMNOP"),
            "D577B61AE0A423AEB44D673F6C17BB35D577B61AE0A423AEB44D673F6C17BB35");
  EXPECT_EQ(cipherHex("secret-password-0020"),
            "0FD64A905BA7650A19642DC6AE16DE1D55865FE77A2612ED5635EBA9E260BF53");
  EXPECT_EQ(cipherHex("1234", kKeyText), "49F68BE15F2639CA25D8A12F1520A5AB");
  EXPECT_EQ(cipherHex("secret-password-0020", kKeyText),
            "3667FBC804C1C5A9FDD2BE540F9A6F97284CEFB487ED5F3C45657D4AEF040989");
  // Only the last 16 characters of the key text count.
  EXPECT_EQ(cipherHex("1234", "Wed, 15 Jan 1999 14:07:09 +0900x6 14:07:09 +0900"),
            "49F68BE15F2639CA25D8A12F1520A5AB");
}

TEST(AesEcb, StaysWithinItsBufferAndEnciphersNothingWithoutTextOrKey) {
  const auto all = [](const Bytes& b, unsigned char v) {
    return std::all_of(b.begin(), b.end(), [v](unsigned char x) { return x == v; });
  };
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
  // A 16-character text ends at the NUL written after the block, whatever out held.
  Bytes cipher = settings::hexBytes("D577B61AE0A423AEB44D673F6C17BB35");
  std::string out(40, 'x');
  my_aes_decrypt(cipher.data(), 16, out.data());
  EXPECT_STREQ(out.c_str(), "ABCDEFGHIJKLMNOP");

  // A 5-character text is followed by the 11 zeros of its padding.
  const Bytes five = settings::hexBytes("D8BD6C81AD0111EFAAAC18115113BD09");
  std::vector<char> padded(17, 'x');
  my_aes_decrypt(five.data(), 16, padded.data());
  EXPECT_EQ(std::string(padded.data(), 5), "abcde");
  EXPECT_EQ(std::vector<char>(padded.begin() + 5, padded.end()), std::vector<char>(12, 0));

  // Exact-size buffers, so a read past inlen or a write past inlen + 1 trips the sanitizer.
  cipher.insert(cipher.end(), {0x11, 0x22, 0x33, 0x44});
  std::vector<char> tail(cipher.size() + 1, 'x');
  my_aes_decrypt(cipher.data(), static_cast<int>(cipher.size()), tail.data());
  EXPECT_EQ(std::string(tail.data(), 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(std::vector<char>(tail.begin() + 16, tail.end()), std::vector<char>(5, 0));

  std::string empty = "untouched";
  my_aes_decrypt(five.data(), 0, empty.data());
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
