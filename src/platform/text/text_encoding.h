// Text encodings in the two numberings the panel uses, and conversions between text and
// bytes over iconv with the panel's rules (whole characters, byte limits, stop or space).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jc {

/// The core library's encoding numbers: what the system encoding is given in, and what
/// text is converted with for the print settings and the preferences.
namespace core_encoding {
inline constexpr std::uint32_t kMacRoman = 0;
inline constexpr std::uint32_t kMacJapanese = 1;
inline constexpr std::uint32_t kMacChineseTrad = 2;
inline constexpr std::uint32_t kMacKorean = 3;
inline constexpr std::uint32_t kMacChineseSimp = 25;
inline constexpr std::uint32_t kISOLatin1 = 0x0201;
inline constexpr std::uint32_t kWindowsLatin1 = 0x0500;
inline constexpr std::uint32_t kASCII = 0x0600;
inline constexpr std::uint32_t kShiftJIS = 0x0A01;
inline constexpr std::uint32_t kUTF8 = 0x08000100;
inline constexpr std::uint32_t kInvalid = 0xFFFFFFFF;
}  // namespace core_encoding

/// The string class's encoding identifiers: what `ppdEncoding` and `systemEncoding` hold.
/// A core encoding without an identifier of its own maps to 0x80000000 | its number.
namespace string_encoding {
inline constexpr std::uint64_t kASCII = 1;
inline constexpr std::uint64_t kUTF8 = 4;
inline constexpr std::uint64_t kISOLatin1 = 5;
inline constexpr std::uint64_t kShiftJIS = 8;
inline constexpr std::uint64_t kWindowsCP1252 = 12;
inline constexpr std::uint64_t kMacOSRoman = 30;
inline constexpr std::uint64_t kForeignFlag = 0x80000000;
}  // namespace string_encoding

/// The string-class identifier of a core encoding number.
std::uint64_t stringEncodingFromCoreEncoding(std::uint32_t core);
/// The core encoding number of a string-class identifier (kInvalid when unknown).
std::uint32_t coreEncodingFromStringEncoding(std::uint64_t identifier);
/// The iconv name that stands for a core encoding, or nullptr when there is none.
/// Mac Japanese has no converter in glibc or ICU: CP932 (Windows Japanese) stands in, and
/// the conversions below put Mac Japanese's own single bytes on top of it (yen sign 0x5C,
/// backslash 0x80, no-break space 0xA0, (c) 0xFD, (tm) 0xFE, ellipsis 0xFF read only);
/// the two still differ in the vendor rows of the double-byte table.
const char* iconvNameForCoreEncoding(std::uint32_t core);

/// The name of the environment variable that pins the system encoding (a core number).
inline constexpr const char* kSystemEncodingVariable = "JOBCONTROL_SYSTEM_ENCODING";

/// The system's default 8-bit encoding for C strings, as a core number. It follows the
/// user's language as the original platform does: Japanese gives Mac Japanese, Korean Mac
/// Korean, Chinese (Taiwan, Hong Kong, Macau, or Hant) Mac Chinese Traditional, other
/// Chinese Mac Chinese Simplified, anything else Mac Roman. The language is read from
/// LC_ALL, LC_MESSAGES, then LANG. JOBCONTROL_SYSTEM_ENCODING, when it holds a core number
/// that has a converter, overrides all of this.
std::uint32_t systemEncoding();

/// What to do at a character the target encoding cannot hold.
enum class Unconvertible { Stop, Space };

/// The result of converting text to bytes.
struct Conversion {
  std::string bytes;      ///< the converted bytes (never more than the byte limit)
  std::size_t units = 0;  ///< UTF-16 units of the source that were consumed
  bool complete = false;  ///< every character within the character limit was converted
};

/// Converts the first `maxUnits` UTF-16 units of `utf8` (never splitting a surrogate pair)
/// into `core`, whole characters in order, stopping before a character that would pass
/// `maxBytes`. At an unconvertible character it stops, or puts a space (0x20) in its
/// place, as `mode` says. An unknown encoding converts nothing.
Conversion convertText(std::string_view utf8, std::uint32_t core, std::size_t maxUnits,
                       std::size_t maxBytes, Unconvertible mode);

/// Decodes bytes in `core` into UTF-8; nullopt when they are not valid text in it.
std::optional<std::string> decodeText(std::string_view bytes, std::uint32_t core);
/// Decodes bytes in `core` into UTF-8, showing each byte that does not begin a valid
/// character as U+FFFD, so damaged or foreign bytes still give readable text. An unknown
/// encoding gives one U+FFFD per byte.
std::string decodeTextLossy(std::string_view bytes, std::uint32_t core);

}  // namespace jc
