// Encoding numberings and conversions with byte limits and the stop and space rules.
#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdlib>
#include <string>

#include "platform/text/text_encoding.h"

namespace jc {
namespace {

using namespace core_encoding;

TEST(TextEncoding, BothNumberingsMapEachOtherBack) {
  EXPECT_EQ(stringEncodingFromCoreEncoding(kMacJapanese), 0x80000001u);
  for (std::uint64_t id : {1u, 4u, 5u, 8u, 12u, 30u})
    EXPECT_EQ(stringEncodingFromCoreEncoding(coreEncodingFromStringEncoding(id)), id);
  EXPECT_EQ(coreEncodingFromStringEncoding(0x80000019u), kMacChineseSimp);
  EXPECT_EQ(coreEncodingFromStringEncoding(99), kInvalid);
}

TEST(TextEncoding, MacRomanConvertsWholeCharactersUpToTheLimits) {
  Conversion c = convertText("Café crème", kMacRoman, 32, 32, Unconvertible::Stop);
  EXPECT_EQ(c.bytes, "Caf\x8E cr\x8Fme");
  EXPECT_TRUE(c.complete);
  // Character limit first, then byte limit.
  EXPECT_EQ(convertText("123456789", kMacRoman, 8, 5, Unconvertible::Stop).bytes, "12345");
  Conversion cut = convertText("123456789", kMacRoman, 8, 8, Unconvertible::Stop);
  EXPECT_EQ(cut.bytes, "12345678");
  EXPECT_TRUE(cut.complete);  // complete within the characters the limit let in
  EXPECT_FALSE(convertText("123456789", kMacRoman, 9, 8, Unconvertible::Stop).complete);
}

// iconv's own bytes for `text` from `from` to `to`, the oracle for the ASCII shortcut.
std::string iconvBytes(const char* to, const char* from, std::string text) {
  iconv_t cd = iconv_open(to, from);
  std::string out(text.size() * 4, '\0');
  char* in = text.data();
  char* at = out.data();
  std::size_t inLeft = text.size(), outLeft = out.size();
  iconv(cd, &in, &inLeft, &at, &outLeft);
  iconv_close(cd);
  return out.substr(0, out.size() - outLeft);
}

TEST(TextEncoding, AsciiTextGivesIconvsBytesInEveryEncoding) {
  const std::string ascii = "Job \\ ~report~ 42";
  for (std::uint32_t core : {kMacRoman, kMacChineseTrad, kMacKorean, kMacChineseSimp, kISOLatin1,
                             kWindowsLatin1, kASCII, kShiftJIS, kUTF8}) {
    const char* name = iconvNameForCoreEncoding(core);
    SCOPED_TRACE(name);
    EXPECT_EQ(convertText(ascii, core, 64, 64, Unconvertible::Stop).bytes,
              iconvBytes(name, "UTF-8", ascii));
    EXPECT_EQ(decodeText(ascii, core), iconvBytes("UTF-8", name, ascii));
  }
}

TEST(TextEncoding, UnconvertibleCharactersStopOrBecomeSpaces) {
  Conversion stop = convertText("ab\u4E2Dcd", kMacRoman, 255, 255, Unconvertible::Stop);
  EXPECT_EQ(stop.bytes, "ab");
  EXPECT_FALSE(stop.complete);
  Conversion space = convertText("ab\u4E2Dcd", kWindowsLatin1, 255, 255, Unconvertible::Space);
  EXPECT_EQ(space.bytes, "ab cd");
  EXPECT_EQ(convertText("\u4E2D", kMacRoman, 255, 255, Unconvertible::Stop).bytes, "");
  // The euro sign is one byte in Windows Latin-1 and not in ISO Latin 1.
  EXPECT_EQ(convertText("\u20AC", kWindowsLatin1, 8, 8, Unconvertible::Stop).bytes, "\x80");
}

TEST(TextEncoding, MacJapaneseKeepsDoubleByteCharactersWhole) {
  // "日本" is two characters of two bytes each; a limit of 3 keeps only the first.
  Conversion c = convertText("\u65E5\u672C", kMacJapanese, 32, 3, Unconvertible::Stop);
  EXPECT_EQ(c.bytes, "\x93\xFA");
  Conversion full = convertText("\u65E5\u672C", kMacJapanese, 32, 32, Unconvertible::Stop);
  EXPECT_EQ(full.bytes, "\x93\xFA\x96\x7B");
  EXPECT_EQ(decodeText(full.bytes, kMacJapanese), "\u65E5\u672C");
  // Half-width katakana are single bytes; an emoji has no place and becomes a space.
  EXPECT_EQ(convertText("\uFF71\U0001F600", kMacJapanese, 32, 32, Unconvertible::Space).bytes,
            "\xB1 ");
}

TEST(TextEncoding, MacJapaneseHasSingleBytesOfItsOwnOverCP932) {
  struct Case {
    const char* text;
    std::string bytes;
  };
  for (const Case& c : {Case{"\\", "\x80"}, Case{"\u00A5", "\x5C"}, Case{"\u00A0", "\xA0"},
                        Case{"\u00A9", "\xFD"}, Case{"\u2122", "\xFE"},
                        Case{"C:\\\u8868\u00A5", "C:\x80\x95\x5C\x5C"}}) {  // 0x5C as a trail byte
    EXPECT_EQ(convertText(c.text, kMacJapanese, 32, 32, Unconvertible::Stop).bytes, c.bytes)
        << c.text;
    EXPECT_EQ(decodeText(c.bytes, kMacJapanese), c.text) << c.text;
  }
  // The half-width ellipsis is read; an ellipsis is written full width, as 0x8163.
  EXPECT_EQ(decodeText("\xFF\x81\x63", kMacJapanese), "\u2026\u2026");
  EXPECT_EQ(convertText("\u2026", kMacJapanese, 32, 32, Unconvertible::Stop).bytes, "\x81\x63");
  EXPECT_EQ(decodeTextLossy("\x81\x20\x80", kMacJapanese), "\uFFFD \\");
}

TEST(TextEncoding, CharacterLimitsCountUtf16UnitsAndNeverSplitAPair) {
  Conversion c = convertText("a\U0001F600b", kUTF8, 2, 255, Unconvertible::Stop);
  EXPECT_EQ(c.bytes, "a");
  EXPECT_EQ(c.units, 1u);
  EXPECT_EQ(convertText("a\U0001F600b", kUTF8, 3, 255, Unconvertible::Stop).units, 3u);
}

TEST(TextEncoding, DecodingRejectsBytesThatAreNotText) {
  EXPECT_EQ(decodeText("\x8E", kMacRoman), "\u00E9");
  EXPECT_EQ(decodeText("\x81", kASCII), std::nullopt);
  EXPECT_EQ(decodeText("\x81\x20", kMacJapanese), std::nullopt);
  EXPECT_EQ(decodeText("abc", 12345), std::nullopt);
}

TEST(TextEncoding, SystemEncodingFollowsTheLanguageUnlessPinned) {
  ::unsetenv(kSystemEncodingVariable);
  for (const auto& [lang, expected] :
       {std::pair<const char*, std::uint32_t>{"ja_JP.UTF-8", kMacJapanese},
        {"ko_KR.UTF-8", kMacKorean},
        {"zh_TW.UTF-8", kMacChineseTrad},
        {"zh_CN.UTF-8", kMacChineseSimp},
        {"de_DE.UTF-8", kMacRoman}}) {
    ::setenv("LC_ALL", lang, 1);
    EXPECT_EQ(systemEncoding(), expected) << lang;
  }
  ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
  ::setenv(kSystemEncodingVariable, "1280", 1);
  EXPECT_EQ(systemEncoding(), kWindowsLatin1);
  ::setenv(kSystemEncodingVariable, "banana", 1);
  EXPECT_EQ(systemEncoding(), kMacJapanese);  // a bad pin is ignored
  ::setenv("LC_ALL", "C.UTF-8", 1);
  ::setenv(kSystemEncodingVariable, "0", 1);  // as the test runner pins it
}

}  // namespace
}  // namespace jc
