// Hexadecimal text of bytes and back, with a defined value for every character.
#include "settings/hex_text.h"

#include <array>

namespace jc::settings {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

constexpr std::array<std::uint8_t, 256> kValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (int i = 0; i < 10; ++i) values['0' + i] = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 6; ++i) {
    values['A' + i] = static_cast<std::uint8_t>(10 + i);
    values['a' + i] = static_cast<std::uint8_t>(10 + i);
  }
  return values;
}();

}  // namespace

void hexTextTo(std::span<const std::uint8_t> in, char* out) {
  for (const std::uint8_t byte : in) {
    *out++ = kDigits[byte >> 4];
    *out++ = kDigits[byte & 0x0F];
  }
  *out = '\0';
}

std::string hexText(std::span<const std::uint8_t> in) {
  std::string text(2 * in.size(), '\0');
  hexTextTo(in, text.data());
  return text;
}

std::string hexText(std::string_view in) {
  return hexText(std::span(reinterpret_cast<const std::uint8_t*>(in.data()), in.size()));
}

std::uint8_t hexDigitValue(char c) {
  return kValues[static_cast<unsigned char>(c)];
}

std::size_t hexBytesTo(std::string_view text, std::uint8_t* out) {
  const std::size_t count = text.size() / 2;
  for (std::size_t i = 0; i < count; ++i) {
    out[i] =
        static_cast<std::uint8_t>(hexDigitValue(text[2 * i]) << 4 | hexDigitValue(text[2 * i + 1]));
  }
  out[count] = 0;
  return count;
}

std::vector<std::uint8_t> hexBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes(text.size() / 2 + 1);
  bytes.resize(hexBytesTo(text, bytes.data()));
  return bytes;
}

}  // namespace jc::settings
