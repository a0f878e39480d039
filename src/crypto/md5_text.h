// MD5 digests written as 32 lower-case hexadecimal digits, over nettle's MD5.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jc::crypto {

/// Length of an MD5 text, without its NUL.
inline constexpr std::size_t kMd5TextLength = 32;

/// Writes the MD5 text of `text`'s bytes and a NUL into `out` (33 bytes).
void md5TextTo(std::string_view text, char* out);

/// The MD5 text of `text`'s bytes.
std::string md5Text(std::string_view text);

}  // namespace jc::crypto
