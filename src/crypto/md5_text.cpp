// MD5 text through nettle's MD5; only the text form is our own.
//
// nettle rather than OpenSSL, for the reason the cipher gives: libcups maps nettle into
// the process anyway, and libcrypto would be loaded for the two credential primitives alone.
#include "crypto/md5_text.h"

#include <nettle/md5.h>

#include <cstddef>
#include <cstdint>

namespace jc::crypto {

void md5TextTo(std::string_view text, char* out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  static_assert(MD5_DIGEST_SIZE == kMd5TextLength / 2);
  std::uint8_t digest[MD5_DIGEST_SIZE];
  md5_ctx context;
  md5_init(&context);
  md5_update(&context, text.size(), reinterpret_cast<const std::uint8_t*>(text.data()));
  md5_digest(&context, MD5_DIGEST_SIZE, digest);
  for (std::size_t i = 0; i < MD5_DIGEST_SIZE; ++i) {
    out[2 * i] = kDigits[digest[i] >> 4];
    out[2 * i + 1] = kDigits[digest[i] & 0x0F];
  }
  out[kMd5TextLength] = '\0';
}

std::string md5Text(std::string_view text) {
  char out[kMd5TextLength + 1];
  md5TextTo(text, out);
  return out;
}

}  // namespace jc::crypto
