// UTF-8 <-> UTF-16 conversions; the toolkit counts text lengths and selections in UTF-16
// units, as the platform the panel was designed for does.
#pragma once

#include <string>
#include <string_view>

namespace jc {

/// Converts UTF-8 to UTF-16. Ill-formed sequences become U+FFFD, one per bad byte.
std::u16string utf8ToUtf16(std::string_view utf8);
/// Converts UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);
/// The length of `utf8` in UTF-16 units.
std::size_t utf16Length(std::string_view utf8);
/// Decodes the code points of `utf8` (U+FFFD for ill-formed bytes).
std::u32string utf8ToUtf32(std::string_view utf8);
/// Encodes one code point as UTF-8.
std::string utf8FromCodePoint(char32_t cp);
/// Appends the UTF-8 encoding of one code point to `out`.
void appendUtf8(std::string& out, char32_t cp);
/// Whether XML 1.0 allows `cp` in a document: tab, line feed, carriage return, and
/// U+0020 and above except the surrogates, U+FFFE and U+FFFF.
bool isXmlCharacter(char32_t cp);
/// `text` as well-formed UTF-8 that any XML 1.0 reader accepts: each ill-formed byte and
/// each character XML forbids (the other C0 controls, U+FFFE, U+FFFF) becomes U+FFFD.
/// Text that already is so comes back unchanged.
std::string xmlSafeText(std::string_view text);

}  // namespace jc
