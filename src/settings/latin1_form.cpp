// The Latin-1 forms' scrub and the choice of their encoding.
#include "settings/latin1_form.h"

#include "platform/text/text_encoding.h"

namespace jc::settings {

void replaceSpaceCode(std::span<std::uint8_t> bytes) {
  for (std::uint8_t& b : bytes) {
    if ((b >= 1 && b <= 8) || (b >= 10 && b <= 31) || b == '"') b = ' ';
  }
}

bool usesWindowsLatin1(std::uint32_t core) {
  switch (core) {
    case core_encoding::kMacJapanese:
    case core_encoding::kMacChineseTrad:
    case core_encoding::kMacKorean:
    case core_encoding::kMacChineseSimp:
      return false;
    default:
      return true;
  }
}

}  // namespace jc::settings
