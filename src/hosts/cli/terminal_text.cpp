// Escaping control characters for terminal and plain output.
#include "hosts/cli/terminal_text.h"

#include <cstdio>

#include "platform/text/unicode.h"

namespace jc::cli {

namespace {

// Characters that change how the text around them is laid out: shown, never obeyed.
bool reordersOrBreaks(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string terminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char escape[16];
  for (char32_t c : utf8ToUtf32(text)) {
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == 0x1B) {
      out += "\\e";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
      out += escape;
    } else if (reordersOrBreaks(c)) {
      std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += utf8FromCodePoint(c);
    }
  }
  return out;
}

}  // namespace jc::cli
