// MD5 text through OpenSSL's one-shot EVP digest; only the text form is our own.
#include "crypto/md5_text.h"

#include <openssl/evp.h>

#include <cstddef>

namespace jc::crypto {

namespace {

// Fetched once, like the cipher: it spares each call the implicit algorithm lookup and
// holds no per-call state.
const EVP_MD* md5() {
  static EVP_MD* const digest = EVP_MD_fetch(nullptr, "MD5", nullptr);
  return digest;
}

}  // namespace

bool md5TextTo(std::string_view text, char* out) {
  static constexpr char kDigits[] = "0123456789abcdef";
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  const EVP_MD* type = md5();
  if (type == nullptr || EVP_Digest(text.data(), text.size(), digest, &size, type, nullptr) != 1 ||
      size != kMd5TextLength / 2) {
    out[0] = '\0';
    return false;
  }
  for (std::size_t i = 0; i < size; ++i) {
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
