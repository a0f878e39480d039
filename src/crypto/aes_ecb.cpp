// AES-128 block by block with zero padding, over OpenSSL's AES block functions.
//
// The block functions rather than EVP: a command enciphers a pass code or two and is
// gone, and EVP's first algorithm fetch builds OpenSSL's whole table of algorithm names,
// about 1.2 ms of CPU, more than the rest of a short command's own work. ECB is each block
// through the bare cipher, so the bytes are the same either way. OpenSSL 3 marks these
// functions deprecated but keeps them; the key schedule lives on the stack for one call
// and is wiped before it returns.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "crypto/aes_ecb.h"

#include <openssl/aes.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <cstring>

namespace jc::crypto {

const AesKey kStoredKey = {0x6b, 0x1f, 0x93, 0xc0, 0xe2, 0x74, 0x5d, 0xa8,
                           0x39, 0x0c, 0x5b, 0xe1, 0xf7, 0xa4, 0xd2, 0x16};

namespace {

// Runs whole blocks of `in` through the cipher set up for `encrypt`, into `out` (which may
// be `in` itself). `size` is a multiple of the block size.
bool transform(const AesKey& key, bool encrypt, const std::uint8_t* in, std::uint8_t* out,
               std::size_t size) {
  AES_KEY schedule;
  const int set = encrypt ? AES_set_encrypt_key(key.data(), 128, &schedule)
                          : AES_set_decrypt_key(key.data(), 128, &schedule);
  if (set != 0) return false;
  for (std::size_t at = 0; at < size; at += kAesBlock)
    AES_ecb_encrypt(in + at, out + at, &schedule, encrypt ? AES_ENCRYPT : AES_DECRYPT);
  OPENSSL_cleanse(&schedule, sizeof schedule);
  return true;
}

}  // namespace

std::optional<AesKey> runTimeKey(std::string_view keyText) {
  if (keyText.size() < kAesBlock) return std::nullopt;
  AesKey key;
  std::memcpy(key.data(), keyText.data() + keyText.size() - kAesBlock, kAesBlock);
  return key;
}

std::size_t encipherInto(const AesKey& key, std::span<const std::uint8_t> plain,
                         std::span<std::uint8_t> out) {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  // The zero padding comes for free: the plain bytes are laid over the zeroed output and
  // the blocks are enciphered in place.
  const std::size_t size = std::min(cipherLength(plain.size()), out.size() / kAesBlock * kAesBlock);
  if (size == 0) return 0;
  std::memcpy(out.data(), plain.data(), std::min(plain.size(), size));
  if (!transform(key, true, out.data(), out.data(), size)) {
    // Never leave plain text behind in a buffer that should hold cipher text.
    OPENSSL_cleanse(out.data(), out.size());
    return 0;
  }
  return size;
}

std::size_t decipherInto(const AesKey& key, std::span<const std::uint8_t> cipher,
                         std::span<std::uint8_t> out) {
  const std::size_t size = cipher.size() / kAesBlock * kAesBlock;
  if (size == 0 || out.size() < size) return 0;
  if (!transform(key, false, cipher.data(), out.data(), size)) {
    std::fill_n(out.begin(), size, std::uint8_t{0});
    return 0;
  }
  return size;
}

std::vector<std::uint8_t> encipher(const AesKey& key, std::string_view plain) {
  std::vector<std::uint8_t> out(cipherLength(plain.size()));
  const std::span<const std::uint8_t> in(reinterpret_cast<const std::uint8_t*>(plain.data()),
                                         plain.size());
  out.resize(encipherInto(key, in, out));
  return out;
}

std::string decipher(const AesKey& key, std::span<const std::uint8_t> cipher) {
  std::vector<std::uint8_t> out(cipher.size() / kAesBlock * kAesBlock);
  const std::size_t size = decipherInto(key, cipher, out);
  const auto end =
      std::find(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(size), std::uint8_t{0});
  std::string text(out.begin(), end);
  OPENSSL_cleanse(out.data(), out.size());
  return text;
}

}  // namespace jc::crypto
