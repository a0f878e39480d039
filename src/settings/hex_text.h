// Hexadecimal text of bytes: two upper-case digits per byte, high nibble first. The form
// in which cipher bytes and converted names are stored as print-settings and preference values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jc::settings {

/// Writes the hex text of `in` and a NUL to `out`, which must hold 2 * in.size() + 1
/// characters. No bytes give the empty text.
void hexTextTo(std::span<const std::uint8_t> in, char* out);

/// The hex text of `in`.
std::string hexText(std::span<const std::uint8_t> in);
/// The hex text of the bytes of `in`.
std::string hexText(std::string_view in);

/// Value of one hex digit: "0" to "9" and "A" to "F" (lower case too) give 0 to 15, every
/// other character gives 0, so any text decodes to defined bytes.
std::uint8_t hexDigitValue(char c);

/// Decodes `text` two characters per byte into `out` and writes a 0 byte after them;
/// `out` must hold text.size() / 2 + 1 bytes. A lone last character is ignored (it is only
/// half a byte). Answers the bytes decoded, the 0 not counted.
std::size_t hexBytesTo(std::string_view text, std::uint8_t* out);

/// The bytes of `text`, decoded as hexBytesTo does.
std::vector<std::uint8_t> hexBytes(std::string_view text);

}  // namespace jc::settings
