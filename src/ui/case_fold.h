// Comparing texts ignoring letter case over all of Unicode, not only ASCII.
#pragma once

#include <string_view>

namespace jc {

/// True when `a` and `b` are equal after simple Unicode case folding of each code point
/// ("Ä" equals "ä", "Σ", "σ" and "ς" are one letter, "Ｆ" equals "ｆ"). No normalization:
/// a precomposed letter differs from its decomposed form. Ill-formed UTF-8 bytes compare
/// as U+FFFD. Independent of the process locale.
bool equalIgnoringCase(std::string_view a, std::string_view b);

}  // namespace jc
