// Just enough JSON for the command's --json output: quoted strings and a writer that
// places the commas.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/text/unicode.h"

namespace jc::cli {

/// `text` as a JSON string literal, quotes included, always valid JSON: control
/// characters are escaped, and bytes that are not UTF-8 (a printer's or a file's) become
/// U+FFFD.
inline std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (char32_t c : utf8ToUtf32(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += utf8FromCodePoint(c);
        }
    }
  }
  return out + "\"";
}

/// Puts a comma before every element of an array or object but the first.
class JsonSeparator {
 public:
  const char* operator()() { return first_ ? (first_ = false, "") : ","; }

 private:
  bool first_ = true;
};

}  // namespace jc::cli
