// Base64 by hand, because the stop rule (first character outside the alphabet ends the
// input, padding included) and the counts the callers rely on are our own, not a library's.
#include "crypto/base64.h"

#include <array>
#include <cstring>

namespace jc::crypto {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::uint8_t kNotInAlphabet = 0xFF;

// Six-bit value of every byte, kNotInAlphabet for bytes outside the alphabet.
constexpr std::array<std::uint8_t, 256> kValues = [] {
  std::array<std::uint8_t, 256> values{};
  values.fill(kNotInAlphabet);
  for (std::uint8_t i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
  return values;
}();

std::uint8_t valueOf(char c) {
  return kValues[static_cast<unsigned char>(c)];
}

// The two characters of every 12-bit value: a whole group of three bytes costs two lookups
// instead of four shifts and four lookups, which keeps pace with OpenSSL's encoder.
constexpr std::array<std::array<char, 2>, 4096> kPairs = [] {
  std::array<std::array<char, 2>, 4096> pairs{};
  for (std::size_t i = 0; i < pairs.size(); ++i)
    pairs[i] = {kAlphabet[i >> 6], kAlphabet[i & 0x3F]};
  return pairs;
}();

}  // namespace

std::size_t base64EncodeTo(std::span<const std::uint8_t> in, char* out) {
  const std::uint8_t* p = in.data();
  std::size_t left = in.size();
  char* o = out;
  for (; left >= 3; left -= 3, p += 3, o += 4) {
    const std::uint32_t group = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    std::memcpy(o, kPairs[group >> 12].data(), 2);
    std::memcpy(o + 2, kPairs[group & 0xFFF].data(), 2);
  }
  if (left > 0) {
    const std::uint32_t group =
        (std::uint32_t{p[0]} << 16) | (left == 2 ? std::uint32_t{p[1]} << 8 : 0);
    o[0] = kAlphabet[group >> 18];
    o[1] = kAlphabet[(group >> 12) & 0x3F];
    o[2] = left == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=';
    o[3] = '=';
    o += 4;
  }
  *o = '\0';
  return static_cast<std::size_t>(o - out);
}

std::size_t base64AlphabetPrefix(std::string_view coded) {
  std::size_t m = 0;
  while (m < coded.size() && valueOf(coded[m]) != kNotInAlphabet) ++m;
  return m;
}

std::size_t base64AlphabetPrefix(const char* coded) {
  // NUL is outside the alphabet, so the scan never passes the terminator.
  std::size_t m = 0;
  while (valueOf(coded[m]) != kNotInAlphabet) ++m;
  return m;
}

std::size_t base64DecodeTo(std::string_view coded, std::uint8_t* out) {
  const std::size_t m = base64AlphabetPrefix(coded);
  const char* c = coded.data();
  std::uint8_t* o = out;
  std::size_t left = m;
  for (; left >= 4; left -= 4, c += 4, o += 3) {
    const std::uint32_t group = (std::uint32_t{valueOf(c[0])} << 18) |
                                (std::uint32_t{valueOf(c[1])} << 12) |
                                (std::uint32_t{valueOf(c[2])} << 6) | valueOf(c[3]);
    o[0] = static_cast<std::uint8_t>(group >> 16);
    o[1] = static_cast<std::uint8_t>(group >> 8);
    o[2] = static_cast<std::uint8_t>(group);
  }
  // A final group of 3 or 2 characters carries 2 or 1 bytes; a lone character carries
  // fewer than 8 bits and gives nothing.
  if (left >= 2) {
    std::uint32_t group =
        (std::uint32_t{valueOf(c[0])} << 18) | (std::uint32_t{valueOf(c[1])} << 12);
    if (left == 3) group |= std::uint32_t{valueOf(c[2])} << 6;
    *o++ = static_cast<std::uint8_t>(group >> 16);
    if (left == 3) *o++ = static_cast<std::uint8_t>(group >> 8);
  }
  *o = 0;
  return static_cast<std::size_t>(o - out);
}

std::string base64Encode(std::span<const std::uint8_t> in) {
  std::string text(base64EncodedSize(in.size()), '\0');
  // std::string keeps room for its own terminator, which takes our NUL.
  base64EncodeTo(in, text.data());
  return text;
}

std::vector<std::uint8_t> base64Decode(std::string_view coded) {
  std::vector<std::uint8_t> bytes(base64DecodedSize(base64AlphabetPrefix(coded)) + 1);
  bytes.resize(base64DecodeTo(coded, bytes.data()));
  return bytes;
}

}  // namespace jc::crypto
