// AES-128 applied to each 16-byte block on its own (no chaining, no IV), with zero padding:
// the credential cipher's block layer, over nettle's AES-128.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jc::crypto {

/// An AES-128 key.
using AesKey = std::array<std::uint8_t, 16>;

/// The cipher block size in bytes.
inline constexpr std::size_t kAesBlock = 16;

/// The key kept in the program: the only key this system ever deciphers with.
extern const AesKey kStoredKey;

/// The cipher length of an n-byte plain text: n brought up to a multiple of 16 (0 for 0).
constexpr std::size_t cipherLength(std::size_t n) {
  return (n + kAesBlock - 1) / kAesBlock * kAesBlock;
}

/// The run-time key taken from a key text: its last 16 characters. nullopt when the text
/// is shorter than 16 characters, since there is then no key to take.
std::optional<AesKey> runTimeKey(std::string_view keyText);

/// Enciphers `plain` under `key` into `out`: first fills all of `out` with zeros, then
/// writes the cipher of every block that fits completely in `out`, the last partial block
/// of `plain` filled up with zero bytes. Answers the number of cipher bytes written
/// (cipherLength(plain.size()) when `out` is large enough, fewer otherwise, 0 for an empty
/// plain text). Reads exactly plain.size() bytes.
std::size_t encipherInto(const AesKey& key, std::span<const std::uint8_t> plain,
                         std::span<std::uint8_t> out);

/// Deciphers `cipher` under `key` into `out`, block by block, and answers the number of
/// bytes written. Only whole blocks are deciphered: a trailing partial block is not read as
/// cipher text. Needs out.size() >= the whole-block part of cipher.size(); writes nothing
/// and answers 0 otherwise. `out` may be `cipher` itself but must not overlap it otherwise.
std::size_t decipherInto(const AesKey& key, std::span<const std::uint8_t> cipher,
                         std::span<std::uint8_t> out);

/// The cipher bytes of `plain` under `key` (cipherLength(plain.size()) of them).
std::vector<std::uint8_t> encipher(const AesKey& key, std::string_view plain);

/// The plain text of `cipher` under `key`: the deciphered bytes up to their first zero byte
/// (zero padding ends the text). A trailing partial block is ignored.
std::string decipher(const AesKey& key, std::span<const std::uint8_t> cipher);

}  // namespace jc::crypto
