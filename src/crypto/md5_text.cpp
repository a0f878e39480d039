// MD5 text through OpenSSL's one-shot MD5; only the text form is our own.
//
// The one-shot function rather than EVP, for the reason the cipher gives: EVP's first
// fetch costs a short command more than all its own work. OpenSSL 3 marks MD5() deprecated
// but keeps it.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "crypto/md5_text.h"

#include <openssl/md5.h>

#include <cstddef>

namespace jc::crypto {

bool md5TextTo(std::string_view text, char* out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  unsigned char digest[MD5_DIGEST_LENGTH];
  static_assert(MD5_DIGEST_LENGTH == kMd5TextLength / 2);
  if (MD5(reinterpret_cast<const unsigned char*>(text.data()), text.size(), digest) == nullptr) {
    out[0] = '\0';
    return false;
  }
  for (std::size_t i = 0; i < MD5_DIGEST_LENGTH; ++i) {
    out[2 * i] = kDigits[digest[i] >> 4];
    out[2 * i + 1] = kDigits[digest[i] & 0x0F];
  }
  out[kMd5TextLength] = '\0';
  return true;
}

std::string md5Text(std::string_view text) {
  char out[kMd5TextLength + 1];
  md5TextTo(text, out);
  return out;
}

}  // namespace jc::crypto
