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

constexpr int kOutSize = 511;
// A spool-time text; its last 16 characters, "6 14:07:09 +0900", are the run-time key.
constexpr const char* kKeyText = "Thu, 5 Mar 2026 14:07:09 +0900";

// Enciphers through the exported function into a 511-byte buffer that held other bytes,
// checks that everything past the cipher is zero, and answers the cipher as hex.
std::string cipherHex(const char* plain, const char* keyText = nullptr) {
  std::vector<unsigned char> out(kOutSize, 0xAA);
  if (keyText) {
    my_aes_encrypt2(plain, keyText, out.data(), kOutSize);
  } else {
    my_aes_encrypt(plain, out.data(), kOutSize);
  }
  const std::size_t size = cipherLength(std::char_traits<char>::length(plain));
  EXPECT_TRUE(std::all_of(out.begin() + static_cast<long>(size), out.end(),
                          [](unsigned char b) { return b == 0; }))
      << plain;
  return settings::hexText(std::span<const std::uint8_t>(out.data(), size));
}

TEST(AesEcb, MatchesIndependentlyComputedCiphersUnderBothKeys) {
  // Expected values from `openssl enc -aes-128-ecb -nopad -K <key>` over the zero-padded text.
  EXPECT_EQ(cipherHex("1234"), "7411EF39CD63E8892E24EC3C2145985C");
  EXPECT_EQ(cipherHex("abcde"), "D8BD6C81AD0111EFAAAC18115113BD09");
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

TEST(AesEcb, BlockTransformMatchesTheStandardsExample) {
  // FIPS 197, appendix C.1.
  const AesKey key = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                      0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
  const std::vector<std::uint8_t> plain = settings::hexBytes("00112233445566778899AABBCCDDEEFF");
  std::vector<std::uint8_t> cipher(16);
  ASSERT_EQ(encipherInto(key, plain, cipher), 16u);
  EXPECT_EQ(settings::hexText(cipher), "69C4E0D86A7B0430D8CDB78070B4C55A");
  std::vector<std::uint8_t> back(16);
  ASSERT_EQ(decipherInto(key, cipher, back), 16u);
  EXPECT_EQ(back, plain);
}

TEST(AesEcb, NothingIsEncipheredForEmptyTextsShortKeysOrNullPointers) {
  std::vector<unsigned char> out(kOutSize, 0xAA);
  my_aes_encrypt("", out.data(), kOutSize);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](unsigned char b) { return b == 0; }));

  std::fill(out.begin(), out.end(), 0xAA);
  my_aes_encrypt2("1234", "fifteen chars..", out.data(), kOutSize);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](unsigned char b) { return b == 0; }));

  std::fill(out.begin(), out.end(), 0xAA);
  my_aes_encrypt(nullptr, out.data(), kOutSize);
  my_aes_encrypt2("1234", nullptr, out.data(), kOutSize);
  my_aes_encrypt("1234", out.data(), 0);
  my_aes_encrypt("1234", out.data(), -1);
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](unsigned char b) { return b == 0xAA; }));
  my_aes_encrypt("1234", nullptr, kOutSize);
  my_aes_decrypt(nullptr, 16, reinterpret_cast<char*>(out.data()));
}

TEST(AesEcb, NeverWritesPastOutsize) {
  // 17 bytes need 32; with room for 20 only the first block is written, the rest zeroed.
  std::vector<unsigned char> out(20, 0xAA);
  my_aes_encrypt("ABCDEFGHIJKLMNOPQ", out.data(), static_cast<int>(out.size()));
  EXPECT_EQ(settings::hexText(std::span<const std::uint8_t>(out.data(), 16)),
            "D577B61AE0A423AEB44D673F6C17BB35");
  EXPECT_EQ(std::vector<unsigned char>(out.begin() + 16, out.end()), std::vector<unsigned char>(4, 0));
  std::vector<unsigned char> tiny(15, 0xAA);
  my_aes_encrypt("1234", tiny.data(), static_cast<int>(tiny.size()));
  EXPECT_EQ(tiny, std::vector<unsigned char>(15, 0));
}

TEST(AesDecrypt, GivesThePlainTextBackWithItsTerminator) {
  // A 16-character text ends at the NUL written after the block, whatever out held.
  const std::vector<std::uint8_t> full = settings::hexBytes("D577B61AE0A423AEB44D673F6C17BB35");
  std::string out(40, 'x');
  my_aes_decrypt(full.data(), 16, out.data());
  EXPECT_STREQ(out.c_str(), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(out[17], 'x');

  // A 5-character text is followed by the 11 zeros of its padding.
  const std::vector<std::uint8_t> five = settings::hexBytes("D8BD6C81AD0111EFAAAC18115113BD09");
  std::vector<char> buffer(17, 'x');
  my_aes_decrypt(five.data(), 16, buffer.data());
  EXPECT_EQ(std::string(buffer.data(), 5), "abcde");
  EXPECT_TRUE(std::all_of(buffer.begin() + 5, buffer.end(), [](char c) { return c == 0; }));

  std::string empty = "untouched";
  my_aes_decrypt(five.data(), 0, empty.data());
  EXPECT_EQ(empty[0], '\0');
  EXPECT_EQ(empty[1], 'n');
}

TEST(AesDecrypt, ATrailingPartialBlockIsNeitherReadNorDeciphered) {
  // Exact-size buffers, so a read past inlen or a write past inlen + 1 trips the sanitizer.
  std::vector<std::uint8_t> cipher = settings::hexBytes("D577B61AE0A423AEB44D673F6C17BB35");
  cipher.insert(cipher.end(), {0x11, 0x22, 0x33, 0x44});
  std::vector<char> out(cipher.size() + 1, 'x');
  my_aes_decrypt(cipher.data(), static_cast<int>(cipher.size()), out.data());
  EXPECT_EQ(std::string(out.data(), 16), "ABCDEFGHIJKLMNOP");
  EXPECT_TRUE(std::all_of(out.begin() + 16, out.end(), [](char c) { return c == 0; }));

  std::vector<char> shortOut(4, 'x');
  my_aes_decrypt(cipher.data(), 3, shortOut.data());
  EXPECT_EQ(shortOut, std::vector<char>(4, 0));
}

TEST(AesEcb, EveryPanelLengthRoundTripsUnderTheStoredKey) {
  for (std::size_t n = 1; n <= 255; ++n) {
    std::string plain(n, '\0');
    for (std::size_t i = 0; i < n; ++i) plain[i] = static_cast<char>(1 + (i * 37 + n) % 255);
    std::vector<unsigned char> cipher(kOutSize);
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
