// Hex text of bytes and back, including characters outside the digit set and odd lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/hex_text.h"
#include "settings/value_encodings.h"

namespace jc::settings {
namespace {

TEST(HexText, EncodesEveryNibbleUpperCaseAndZeroBytesByLength) {
  const unsigned char bytes[] = {0x00, 0x9F, 0xA0, 0xFF};
  char out[9];
  myitoa(bytes, out, 4);
  EXPECT_STREQ(out, "009FA0FF");
  std::string untouched = "xyz";
  myitoa(bytes, untouched.data(), 0);
  EXPECT_EQ(untouched[0], '\0');
  EXPECT_EQ(untouched[1], 'y');
  myitoa(nullptr, untouched.data(), 4);
  EXPECT_EQ(untouched[0], '\0');
  myitoa(bytes, nullptr, 4);

  unsigned char back[5] = {1, 1, 1, 1, 1};
  myatoi("009FA0FF", back, 8);
  EXPECT_EQ(std::vector<unsigned char>(back, back + 5),
            (std::vector<unsigned char>{0x00, 0x9F, 0xA0, 0xFF, 0x00}));
}

TEST(HexText, EveryCharacterDecodesToADefinedValue) {
  // Lower case is read like upper case; anything else counts as 0.
  EXPECT_EQ(hexBytes("9fa0Ff"), (std::vector<std::uint8_t>{0x9F, 0xA0, 0xFF}));
  EXPECT_EQ(hexBytes("G1zZ 7\x80\xff"), (std::vector<std::uint8_t>{0x01, 0x00, 0x07, 0x00}));
  // An odd last character is half a byte and is dropped; nothing beyond len is read
  // (the input here is not NUL-terminated).
  const std::vector<char> odd = {'4', '1', '4'};
  std::vector<unsigned char> out(odd.size() / 2 + 1, 0xAA);
  myatoi(odd.data(), out.data(), static_cast<std::uint32_t>(odd.size()));
  EXPECT_EQ(out, (std::vector<unsigned char>{0x41, 0x00}));
  unsigned char one = 0xAA;
  myatoi("41", &one, 0);
  EXPECT_EQ(one, 0);
}

TEST(HexText, EveryByteValueRoundTrips) {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  const std::string text = hexText(all);
  ASSERT_EQ(text.size(), 512u);
  EXPECT_EQ(text.substr(0, 8), "00010203");
  EXPECT_EQ(text.substr(504), "FCFDFEFF");
  EXPECT_EQ(hexBytes(text), all);
}

}  // namespace
}  // namespace jc::settings
