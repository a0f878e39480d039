// Terminal columns of UTF-8 text: East Asian wide and full-width characters take two, so
// captions in Japanese line up and a status line fits a narrow terminal.
#pragma once

#include <cstddef>
#include <string>

namespace jc::cli {

/// The columns a terminal gives `text`.
std::size_t columnsOf(const std::string& text);

/// `text` cut at a character boundary to at most `columns` columns ("…" marks a cut).
std::string fitColumns(const std::string& text, std::size_t columns);

/// The width of the terminal on standard error, or 0 when it is not a terminal.
std::size_t terminalColumns();

}  // namespace jc::cli
