// Text that came from a printer or a file, made fit to print on a terminal or in plain
// output: nothing in it can move the cursor, retitle the window or forge extra lines.
#pragma once

#include <string>
#include <string_view>

namespace jc {

/// `text` (UTF-8) with every control character written as a visible escape: "\t", "\n",
/// "\r", "\e" for ESC, "\xNN" for the other C0 controls and DEL, and "\u{NNNN}" for the C1
/// controls, the line and paragraph separators and the controls that reorder text
/// (bidirectional marks, embeddings, overrides and isolates). Bytes that are not UTF-8
/// show as U+FFFD. Any other text comes back unchanged; backslashes are not doubled, so a
/// folder name without control characters reads exactly as it must be typed.
std::string terminalText(std::string_view text);

}  // namespace jc
