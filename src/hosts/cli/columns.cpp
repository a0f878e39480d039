// Terminal columns of UTF-8 text.
#include "hosts/cli/columns.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/text/unicode.h"

namespace jc::cli {

namespace {
std::size_t columnsOfCodePoint(char32_t c) {
  bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
              (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
              (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
              (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
              (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
  return wide ? 2 : 1;
}
}  // namespace

std::size_t columnsOf(const std::string& text) {
  std::size_t columns = 0;
  for (char32_t c : utf8ToUtf32(text)) columns += columnsOfCodePoint(c);
  return columns;
}

std::string fitColumns(const std::string& text, std::size_t columns) {
  if (columnsOf(text) <= columns) return text;
  if (columns == 0) return "";
  std::string out;
  std::size_t used = 0;
  for (char32_t c : utf8ToUtf32(text)) {
    std::size_t w = columnsOfCodePoint(c);
    if (used + w > columns - 1) break;  // one column stays for the mark
    out += utf8FromCodePoint(c);
    used += w;
  }
  return out + "\u2026";
}

std::size_t terminalColumns() {
  winsize size{};
  if (!::isatty(STDERR_FILENO) || ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace jc::cli
