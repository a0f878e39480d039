// Encoding numberings, the system encoding, and iconv-based conversions.
#include "platform/text/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/text/unicode.h"

namespace jc {

namespace {

struct EncodingRow {
  std::uint32_t core;
  std::uint64_t identifier;
  const char* iconv;
  bool asciiSame;  // every ASCII character is its own single byte, both ways
};

// One table for both numberings and the converters. Mac Japanese and Shift JIS are not
// ASCII the same: their byte 0x5C is the yen sign.
// clang-format off
constexpr EncodingRow kEncodings[] = {
    {core_encoding::kMacRoman,        string_encoding::kMacOSRoman,          "MACINTOSH",  true},
    {core_encoding::kMacJapanese,     string_encoding::kForeignFlag | 1,     "CP932",      false},
    {core_encoding::kMacChineseTrad,  string_encoding::kForeignFlag | 2,     "BIG5",       true},
    {core_encoding::kMacKorean,       string_encoding::kForeignFlag | 3,     "EUC-KR",     true},
    {core_encoding::kMacChineseSimp,  string_encoding::kForeignFlag | 25,    "EUC-CN",     true},
    {core_encoding::kISOLatin1,       string_encoding::kISOLatin1,           "ISO-8859-1", true},
    {core_encoding::kWindowsLatin1,   string_encoding::kWindowsCP1252,       "CP1252",     true},
    {core_encoding::kASCII,           string_encoding::kASCII,               "ASCII",      true},
    {core_encoding::kShiftJIS,        string_encoding::kShiftJIS,            "SHIFT_JIS",  false},
    {core_encoding::kUTF8,            string_encoding::kUTF8,                "UTF-8",      true},
};
// clang-format on

bool isAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

const EncodingRow* rowForCore(std::uint32_t core) {
  for (const auto& row : kEncodings)
    if (row.core == core) return &row;
  return nullptr;
}

// iconv descriptors are costly to open; keep one per direction and encoding per thread.
struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

iconv_t converter(const char* to, const char* from) {
  thread_local std::map<std::pair<std::string, std::string>, IconvHandle> cache;
  auto key = std::make_pair(std::string(to), std::string(from));
  auto it = cache.find(key);
  if (it == cache.end()) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
    it = cache.emplace(key, IconvHandle(cd)).first;
  }
  iconv_t cd = static_cast<iconv_t>(it->second.get());
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
  return cd;
}

// Converts one whole character; nullopt when the encoding cannot hold it.
std::optional<std::string> convertOne(iconv_t cd, const std::string& utf8) {
  char in[8];
  char out[32];
  std::size_t inLeft = utf8.size();
  for (std::size_t i = 0; i < inLeft; ++i) in[i] = utf8[i];
  char* inPtr = in;
  char* outPtr = out;
  std::size_t outLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft)
    return std::nullopt;
  if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
    return std::nullopt;
  return std::string(out, static_cast<std::size_t>(outPtr - out));
}

// Mac Japanese is CP932 but for six single bytes of its own: the yen sign where CP932 has
// the backslash, the backslash at 0x80, and the no-break space, (c), (tm) and the ellipsis
// in bytes CP932 leaves unused. The ellipsis is only read from 0xFF: written, it keeps its
// full-width double byte 0x8163, as the platform's own converter writes it.
struct MacJapaneseByte {
  char32_t character;
  unsigned char byte;
  bool written;  // the character is also written as this byte
};
constexpr MacJapaneseByte kMacJapaneseBytes[] = {
    {0x00A5, 0x5C, true}, {0x005C, 0x80, true}, {0x00A0, 0xA0, true},
    {0x00A9, 0xFD, true}, {0x2122, 0xFE, true}, {0x2026, 0xFF, false},
};

const MacJapaneseByte* macJapaneseByte(unsigned char byte) {
  for (const auto& own : kMacJapaneseBytes)
    if (own.byte == byte) return &own;
  return nullptr;
}

// The Mac Japanese bytes of one character, or nullopt when it has none.
std::optional<std::string> macJapaneseBytes(iconv_t cp932, char32_t cp) {
  for (const auto& own : kMacJapaneseBytes)
    if (own.written && own.character == cp) return std::string(1, static_cast<char>(own.byte));
  return convertOne(cp932, utf8FromCodePoint(cp));
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Reads Mac Japanese: its own single bytes, and every other character (one byte, or a lead
// byte and its trail byte) through CP932. A byte that begins no character gives U+FFFD
// when `lossy`, and nullopt otherwise.
std::optional<std::string> decodeMacJapanese(std::string_view bytes, bool lossy) {
  iconv_t cp932 = converter("UTF-8", "CP932");
  if (cp932 == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    auto byte = static_cast<unsigned char>(bytes[i]);
    if (const MacJapaneseByte* own = macJapaneseByte(byte)) {
      out += utf8FromCodePoint(own->character);
      ++i;
      continue;
    }
    if (byte < 0x80) {
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    std::size_t length = lead && i + 1 < bytes.size() ? 2 : 1;
    if (auto text = convertOne(cp932, std::string(bytes.substr(i, length)))) {
      out += *text;
      i += length;
    } else if (lossy) {
      out += kReplacement;
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::uint32_t encodingForLanguage(std::string_view locale) {
  std::string_view lang = locale.substr(0, locale.find_first_of("_.@"));
  std::string_view rest = locale.size() > lang.size() ? locale.substr(lang.size()) : "";
  if (lang == "ja") return core_encoding::kMacJapanese;
  if (lang == "ko") return core_encoding::kMacKorean;
  if (lang == "zh") {
    for (std::string_view traditional : {"_TW", "_HK", "_MO", "Hant"})
      if (rest.find(traditional) != std::string_view::npos) return core_encoding::kMacChineseTrad;
    return core_encoding::kMacChineseSimp;
  }
  return core_encoding::kMacRoman;
}

}  // namespace

std::uint64_t stringEncodingFromCoreEncoding(std::uint32_t core) {
  if (const EncodingRow* row = rowForCore(core)) return row->identifier;
  return string_encoding::kForeignFlag | core;
}

std::uint32_t coreEncodingFromStringEncoding(std::uint64_t identifier) {
  for (const auto& row : kEncodings)
    if (row.identifier == identifier) return row.core;
  if (identifier & string_encoding::kForeignFlag)
    return static_cast<std::uint32_t>(identifier & ~string_encoding::kForeignFlag);
  return core_encoding::kInvalid;
}

const char* iconvNameForCoreEncoding(std::uint32_t core) {
  const EncodingRow* row = rowForCore(core);
  return row ? row->iconv : nullptr;
}

std::uint32_t systemEncoding() {
  if (const char* pinned = std::getenv(kSystemEncodingVariable); pinned && *pinned) {
    std::string_view text = pinned;
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size() && iconvNameForCoreEncoding(value))
      return value;
  }
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return encodingForLanguage(value);
  }
  return core_encoding::kMacRoman;
}

Conversion convertText(std::string_view utf8, std::uint32_t core, std::size_t maxUnits,
                       std::size_t maxBytes, Unconvertible mode) {
  Conversion result;
  const EncodingRow* row = rowForCore(core);
  if (!row) return result;
  // ASCII text is its own bytes in most encodings: no converter need be loaded for it.
  if (row->asciiSame && isAscii(utf8)) {
    const std::size_t allowed = std::min(utf8.size(), maxUnits);
    const std::size_t taken = std::min(allowed, maxBytes);
    result.bytes.assign(utf8.substr(0, taken));
    result.units = taken;
    result.complete = taken == allowed;
    return result;
  }
  iconv_t cd = converter(row->iconv, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return result;

  std::u32string characters = utf8ToUtf32(utf8);
  std::size_t index = 0;
  for (; index < characters.size(); ++index) {
    char32_t cp = characters[index];
    std::size_t width = cp >= 0x10000 ? 2 : 1;
    if (result.units + width > maxUnits) break;
    std::optional<std::string> bytes = core == core_encoding::kMacJapanese
                                           ? macJapaneseBytes(cd, cp)
                                           : convertOne(cd, utf8FromCodePoint(cp));
    if (!bytes) {
      if (mode == Unconvertible::Stop) break;
      bytes = " ";
    }
    if (result.bytes.size() + bytes->size() > maxBytes) break;
    result.bytes += *bytes;
    result.units += width;
  }
  // Complete: nothing was left out of the characters the limit let in.
  std::size_t allowedUnits = 0;
  std::size_t allowed = 0;
  for (; allowed < characters.size(); ++allowed) {
    std::size_t width = characters[allowed] >= 0x10000 ? 2 : 1;
    if (allowedUnits + width > maxUnits) break;
    allowedUnits += width;
  }
  result.complete = index == allowed;
  return result;
}

std::optional<std::string> decodeText(std::string_view bytes, std::uint32_t core) {
  if (core == core_encoding::kMacJapanese) return decodeMacJapanese(bytes, false);
  const EncodingRow* row = rowForCore(core);
  if (!row) return std::nullopt;
  if (row->asciiSame && isAscii(bytes)) return std::string(bytes);
  iconv_t cd = converter("UTF-8", row->iconv);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(bytes.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft)
    return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::string decodeTextLossy(std::string_view bytes, std::uint32_t core) {
  if (auto whole = decodeText(bytes, core)) return *whole;
  if (core == core_encoding::kMacJapanese) {
    if (auto text = decodeMacJapanese(bytes, true)) return *text;
  }
  const char* name = iconvNameForCoreEncoding(core);
  iconv_t cd = name ? converter("UTF-8", name) : reinterpret_cast<iconv_t>(-1);
  std::string out;
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (std::size_t i = 0; i < bytes.size(); ++i) out += kReplacement;
    return out;
  }
  char* inPtr = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::string chunk(64, '\0');
  while (inLeft > 0) {
    char* outPtr = chunk.data();
    std::size_t outLeft = chunk.size();
    std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    out.append(chunk.data(), chunk.size() - outLeft);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An invalid or truncated sequence: show one replacement and go on after its byte.
      out += kReplacement;
      ++inPtr;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace jc
