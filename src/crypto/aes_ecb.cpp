// AES-128 block by block with zero padding, over nettle's AES-128.
//
// nettle rather than OpenSSL: libcups already maps nettle into every process that prints,
// while libcrypto would be loaded for this cipher and the digest alone; nettle's one call
// also takes its hardware path for a whole run of blocks. ECB is each block through the
// bare cipher, so the bytes are the same with any library. The key schedule lives on the
// stack for one call and is wiped before it returns.
#include "crypto/aes_ecb.h"

#include <nettle/aes.h>
#include <string.h>  // explicit_bzero

#include <algorithm>
#include <cstring>

namespace jc::crypto {

const AesKey kStoredKey = {0x6b, 0x1f, 0x93, 0xc0, 0xe2, 0x74, 0x5d, 0xa8,
                           0x39, 0x0c, 0x5b, 0xe1, 0xf7, 0xa4, 0xd2, 0x16};

namespace {

static_assert(kAesBlock == AES_BLOCK_SIZE && sizeof(AesKey) == AES128_KEY_SIZE);

// Runs whole blocks of `in` through the cipher set up for `encrypt`, into `out` (which may
// be `in` itself, and no other overlap). `size` is a multiple of the block size. nettle
// enciphers each block on its own, as ECB does.
void transform(const AesKey& key, bool encrypt, const std::uint8_t* in, std::uint8_t* out,
               std::size_t size) {
  aes128_ctx schedule;
  if (encrypt) {
    aes128_set_encrypt_key(&schedule, key.data());
    aes128_encrypt(&schedule, size, out, in);
  } else {
    aes128_set_decrypt_key(&schedule, key.data());
    aes128_decrypt(&schedule, size, out, in);
  }
  explicit_bzero(&schedule, sizeof schedule);
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
  transform(key, true, out.data(), out.data(), size);
  return size;
}

std::size_t decipherInto(const AesKey& key, std::span<const std::uint8_t> cipher,
                         std::span<std::uint8_t> out) {
  const std::size_t size = cipher.size() / kAesBlock * kAesBlock;
  if (size == 0 || out.size() < size) return 0;
  transform(key, false, cipher.data(), out.data(), size);
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
  explicit_bzero(out.data(), out.size());
  return text;
}

}  // namespace jc::crypto
