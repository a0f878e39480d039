// Hex, cipher and text helpers for the writer, reader and preference store, over the
// codecs' C++ layer.
#include "settings/value_text.h"

#include <span>

#include "crypto/aes_ecb.h"
#include "crypto/base64.h"
#include "platform/text/text_encoding.h"

namespace jc::settings {

std::string_view untilNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::string leftFilled(std::string_view code) {
  if (code.empty() || code.size() >= 5) return std::string(code);
  return std::string(5 - code.size(), '0') + std::string(code);
}

std::size_t cipherLength(const std::string& plain) {
  return crypto::cipherLength(untilNul(plain).size());
}

std::string storedCipherHex(const std::string& plain, std::size_t blockBytes) {
  // The cipher area is zero beyond the cipher, so a one-block value shows zero digits.
  std::vector<std::uint8_t> cipher = crypto::encipher(crypto::kStoredKey, untilNul(plain));
  cipher.resize(blockBytes, 0);
  return hexText(std::span<const std::uint8_t>(cipher));
}

std::string storedCipherBase64(const std::string& plain) {
  return crypto::base64Encode(crypto::encipher(crypto::kStoredKey, untilNul(plain)));
}

std::string runTimeCipherBase64(const std::string& plain, const std::string& spoolTime) {
  std::optional<crypto::AesKey> key = crypto::runTimeKey(spoolTime);
  if (!key) return std::string();
  return crypto::base64Encode(crypto::encipher(*key, untilNul(plain)));
}

std::string storedDecipher(std::string_view cipher) {
  return crypto::decipher(
      crypto::kStoredKey,
      std::span(reinterpret_cast<const std::uint8_t*>(cipher.data()), cipher.size()));
}

std::string textFromStoredBytes(std::string_view bytes, std::uint32_t core) {
  return decodeTextLossy(untilNul(bytes), core);
}

}  // namespace jc::settings
