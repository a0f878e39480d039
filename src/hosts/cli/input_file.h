// Reading the files the command is given (job options, print settings): regular files of
// bounded size only, so a device, a FIFO or a huge file ends the command at once.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace jc::cli {

/// The largest input file the command reads.
inline constexpr std::size_t kMaxInputFileBytes = 1u << 20;

/// The bytes of `path` ("-" reads standard input up to the same limit). nullopt, with a
/// message naming the file in `error`, for anything but a readable regular file of at most
/// kMaxInputFileBytes bytes (a folder, a device, a FIFO, a larger file).
std::optional<std::string> readInputFile(const std::string& path, std::string* error);

}  // namespace jc::cli
