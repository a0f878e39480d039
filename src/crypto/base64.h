// Base64 text of cipher bytes: the standard alphabet, "=" padding, no line breaks; decoding
// stops at the first character outside the alphabet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jc::crypto {

/// Characters of the Base64 text of n bytes, without a terminating NUL.
constexpr std::size_t base64EncodedSize(std::size_t n) {
  return (n + 2) / 3 * 4;
}

/// Writes the Base64 text of `in` and a NUL to `out`, which must hold
/// base64EncodedSize(in.size()) + 1 characters. Answers the characters written, NUL not
/// counted (0 and just the NUL for no input).
std::size_t base64EncodeTo(std::span<const std::uint8_t> in, char* out);

/// How many leading characters of `coded` belong to the alphabet: the part that decodes.
std::size_t base64AlphabetPrefix(std::string_view coded);
/// Same, for NUL-terminated text (stops at the NUL at the latest).
std::size_t base64AlphabetPrefix(const char* coded);

/// Bytes that m alphabet characters decode to: 3 per group of 4, then 2 for 3 left over,
/// 1 for 2, none for a lone character.
constexpr std::size_t base64DecodedSize(std::size_t m) {
  return m / 4 * 3 + (m % 4 == 0 ? 0 : m % 4 - 1);
}

/// Decodes the leading alphabet characters of `coded` into `out`, then writes a 0 byte
/// after them; `out` must hold base64DecodedSize(base64AlphabetPrefix(coded)) + 1 bytes.
/// Answers the bytes decoded, the 0 byte not counted.
std::size_t base64DecodeTo(std::string_view coded, std::uint8_t* out);

/// The Base64 text of `in`.
std::string base64Encode(std::span<const std::uint8_t> in);
/// The bytes of the leading alphabet characters of `coded` (empty for none).
std::vector<std::uint8_t> base64Decode(std::string_view coded);

}  // namespace jc::crypto
