// The exported C credential codecs: argument checks and buffer contracts over jc::crypto.
// The functions underneath never allocate or throw, so nothing can escape these bodies.
#include "crypto/credential_codecs.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <span>

#include "crypto/aes_ecb.h"
#include "crypto/base64.h"
#include "crypto/md5_text.h"

namespace {

std::span<const std::uint8_t> textBytes(const char* text) {
  return {reinterpret_cast<const std::uint8_t*>(text), std::strlen(text)};
}

// Longest input whose Base64 text and NUL still fit in an int.
constexpr std::int64_t kMaxBase64Input = std::int64_t{INT_MAX - 1} / 4 * 3;

int clampToInt(std::size_t n) {
  return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

extern "C" {

void my_aes_encrypt(const char* in, unsigned char* out, int outsize) noexcept {
  if (in == nullptr || out == nullptr || outsize <= 0) return;
  jc::crypto::encipherInto(jc::crypto::kStoredKey, textBytes(in),
                           {out, static_cast<std::size_t>(outsize)});
}

void my_aes_encrypt2(const char* in, const char* keytext, unsigned char* out,
                     int outsize) noexcept {
  if (in == nullptr || keytext == nullptr || out == nullptr || outsize <= 0) return;
  const std::span<std::uint8_t> buffer(out, static_cast<std::size_t>(outsize));
  const auto key = jc::crypto::runTimeKey(keytext);
  if (!key) {
    std::memset(out, 0, buffer.size());
    return;
  }
  jc::crypto::encipherInto(*key, textBytes(in), buffer);
}

void my_aes_decrypt(const unsigned char* in, int inlen, char* out) noexcept {
  if (in == nullptr || out == nullptr) return;
  out[0] = '\0';
  if (inlen <= 0) return;
  const auto size = static_cast<std::size_t>(inlen);
  auto* bytes = reinterpret_cast<std::uint8_t*>(out);
  const std::size_t written =
      jc::crypto::decipherInto(jc::crypto::kStoredKey, {in, size}, {bytes, size});
  std::memset(bytes + written, 0, size - written + 1);
}

int Base64encode_len(int len) noexcept {
  if (len < 0) len = 0;
  if (len > kMaxBase64Input) return 0;
  return static_cast<int>(jc::crypto::base64EncodedSize(static_cast<std::size_t>(len)) + 1);
}

int Base64encode(char* encoded, const char* bytes, int len) noexcept {
  if (encoded == nullptr || len > kMaxBase64Input) return 0;
  if (bytes == nullptr || len < 0) len = 0;
  const std::span<const std::uint8_t> in(reinterpret_cast<const std::uint8_t*>(bytes),
                                         static_cast<std::size_t>(len));
  return static_cast<int>(jc::crypto::base64EncodeTo(in, encoded) + 1);
}

int Base64decode_len(const char* coded) noexcept {
  const std::size_t m = coded == nullptr ? 0 : jc::crypto::base64AlphabetPrefix(coded);
  return clampToInt((m + 3) / 4 * 3 + 1);
}

int Base64decode(char* plain, const char* coded) noexcept {
  if (plain == nullptr || coded == nullptr) return 0;
  const std::string_view alphabet(coded, jc::crypto::base64AlphabetPrefix(coded));
  return clampToInt(jc::crypto::base64DecodeTo(alphabet, reinterpret_cast<std::uint8_t*>(plain)));
}

void calcMD5(char* out, const char* text) noexcept {
  if (out == nullptr || text == nullptr) return;
  jc::crypto::md5TextTo(text, out);
}

}  // extern "C"
