// Case-insensitive comparison through the C library's Unicode case tables.
#include "ui/case_fold.h"

#include <locale.h>
#include <wctype.h>

#include "platform/text/unicode.h"

namespace jc {

namespace {

// The case tables of the C.UTF-8 locale cover all of Unicode whatever locale the host
// process runs in; they are opened once and kept for the life of the process.
locale_t unicodeCaseTables() {
  static const locale_t tables = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return tables;
}

char32_t fold(char32_t c) {
  locale_t tables = unicodeCaseTables();
  if (!tables) return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;  // ASCII at least
  // Lower of upper joins the letters that share an upper case, such as the Greek sigmas.
  auto wide = static_cast<wint_t>(c);
  return static_cast<char32_t>(towlower_l(towupper_l(wide, tables), tables));
}

}  // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  const std::u32string left = utf8ToUtf32(a);
  const std::u32string right = utf8ToUtf32(b);
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i)
    if (left[i] != right[i] && fold(left[i]) != fold(right[i])) return false;
  return true;
}

}  // namespace jc
