// Hex text of bytes and back, including characters outside the digit set and odd lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/hex_text.h"
#include "settings/value_encodings.h"

namespace jc::settings {
namespace {

TEST(HexText, EveryByteValueRoundTripsInUpperCase) {
  std::vector<std::uint8_t> all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  std::string text(513, 'x');
  myitoa(all.data(), text.data(), 256);
  EXPECT_EQ(text.back(), '\0');
  text.pop_back();
  EXPECT_EQ(text.substr(0, 8), "00010203");
  EXPECT_EQ(text.substr(504), "FCFDFEFF");
  EXPECT_EQ(hexText(all), text);
  std::vector<unsigned char> back(257, 1);
  myatoi(text.c_str(), back.data(), 512);
  EXPECT_EQ(std::vector<std::uint8_t>(back.begin(), back.end() - 1), all);
  EXPECT_EQ(back.back(), 0);  // and a NUL after the bytes

  // No bytes give an empty text; null buffers are ignored.
  std::string untouched = "xyz";
  myitoa(all.data(), untouched.data(), 0);
  EXPECT_EQ(untouched, std::string("\0yz", 3));
  myitoa(nullptr, untouched.data(), 4);
  myitoa(all.data(), nullptr, 4);
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

}  // namespace
}  // namespace jc::settings
