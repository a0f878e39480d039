// Reading the files the command is given (job options, print settings): regular files of
// bounded size only, so a device, a FIFO or a huge file ends the command at once.
#pragma once

#include <cstddef>
#include <string>

#include "platform/base/result.h"

namespace jc::cli {

/// The largest input file the command reads.
inline constexpr std::size_t kMaxInputFileBytes = 1u << 20;

/// The bytes of `path` ("-" reads standard input up to the same limit), or a refusal
/// naming the file for anything but a readable regular file of at most kMaxInputFileBytes
/// bytes (a folder, a device, a FIFO, a larger file).
Result<std::string> readInputFile(const std::string& path);

}  // namespace jc::cli
