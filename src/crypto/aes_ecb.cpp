// AES-128 block by block with zero padding, over OpenSSL's EVP interface.
//
// EVP rather than the low-level AES_* calls: OpenSSL 3 deprecates those, they bypass the
// provider layer (and with it the hardware AES path and any FIPS configuration), and EVP's
// ECB mode with padding off produces exactly the same bytes. Each call gets a fresh
// context, so the key schedule lives only for the call and is wiped when the context is
// freed; only the algorithm handle, which holds no key material, is fetched once.
#include "crypto/aes_ecb.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace jc::crypto {

const AesKey kStoredKey = {0x6b, 0x1f, 0x93, 0xc0, 0xe2, 0x74, 0x5d, 0xa8,
                           0x39, 0x0c, 0x5b, 0xe1, 0xf7, 0xa4, 0xd2, 0x16};

namespace {

struct ContextDeleter {
  void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;

// Fetched once: an explicit fetch spares every call the implicit lookup that the legacy
// EVP_aes_128_ecb() handle triggers. It lives for the whole process on purpose.
const EVP_CIPHER* aes128Ecb() {
  static EVP_CIPHER* const cipher = EVP_CIPHER_fetch(nullptr, "AES-128-ECB", nullptr);
  return cipher;
}

// Runs whole blocks of `in` through a context set up for `encrypt`, into `out` (which may
// be `in` itself). `size` is a multiple of the block size.
bool transform(const AesKey& key, bool encrypt, const std::uint8_t* in, std::uint8_t* out,
               std::size_t size) {
  const EVP_CIPHER* cipher = aes128Ecb();
  if (cipher == nullptr) return false;
  Context ctx(EVP_CIPHER_CTX_new());
  if (!ctx ||
      EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1) {
    return false;
  }
  EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
  // EVP counts in int; step through anything larger in block-aligned chunks.
  constexpr std::size_t kChunk = (INT_MAX / kAesBlock) * kAesBlock;
  while (size > 0) {
    const std::size_t step = std::min(size, kChunk);
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &written, in, static_cast<int>(step)) != 1 ||
        static_cast<std::size_t>(written) != step) {
      return false;
    }
    in += step;
    out += step;
    size -= step;
  }
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
