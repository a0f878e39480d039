// Hex, cipher and text helpers over the exported codecs.
#include "settings/value_text.h"

#include <array>
#include <vector>

#include "platform/text_encoding.h"
#include "crypto/credential_codecs.h"
#include "settings/value_encodings.h"

namespace jc::settings {

namespace {
// The cipher area the codecs write into: 512 bytes, of which 511 are offered.
constexpr int kCipherArea = 512;
}  // namespace

std::string_view untilNul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string leftFilled(std::string_view code) {
  if (code.empty() || code.size() >= 5) return std::string(code);
  return std::string(5 - code.size(), '0') + std::string(code);
}

std::size_t cipherLength(const std::string& plain) {
  std::size_t length = untilNul(plain).size();
  return (length + 15) / 16 * 16;
}

std::string storedCipherHex(const std::string& plain, std::size_t blockBytes) {
  std::array<unsigned char, kCipherArea> cipher{};
  std::string c = std::string(untilNul(plain));
  my_aes_encrypt(c.c_str(), cipher.data(), kCipherArea - 1);
  return hexText(std::string_view(reinterpret_cast<const char*>(cipher.data()), blockBytes));
}

namespace {
std::string base64(const unsigned char* bytes, std::size_t length) {
  std::string out(static_cast<std::size_t>(Base64encode_len(static_cast<int>(length))) + 1, '\0');
  Base64encode(out.data(), reinterpret_cast<const char*>(bytes), static_cast<int>(length));
  return std::string(untilNul(out));
}
}  // namespace

std::string storedCipherBase64(const std::string& plain) {
  std::array<unsigned char, kCipherArea> cipher{};
  std::string c = std::string(untilNul(plain));
  my_aes_encrypt(c.c_str(), cipher.data(), kCipherArea - 1);
  return base64(cipher.data(), cipherLength(c));
}

std::string runTimeCipherBase64(const std::string& plain, const std::string& spoolTime) {
  std::array<unsigned char, kCipherArea> cipher{};
  std::string c = std::string(untilNul(plain));
  my_aes_encrypt2(c.c_str(), spoolTime.c_str(), cipher.data(), kCipherArea - 1);
  return base64(cipher.data(), cipherLength(c));
}

std::string storedDecipher(std::string_view cipher) {
  std::size_t length = cipher.size() / 16 * 16;
  std::vector<char> plain(length + 16, '\0');
  my_aes_decrypt(reinterpret_cast<const unsigned char*>(cipher.data()), static_cast<int>(length),
                 plain.data());
  return std::string(untilNul(std::string_view(plain.data(), length)));
}

std::string textFromStoredBytes(std::string_view bytes, std::uint32_t core) {
  return decodeTextLossy(untilNul(bytes), core);
}

}  // namespace jc::settings
