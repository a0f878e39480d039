// Reading a file's bytes whole with plain system calls, for resources and data files read
// once: no stream, so a process that reads only such files never sets up the C++ streams.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace jc {

/// The first `limit` bytes of the file at `path` (all of it when it is shorter); nullopt
/// when it cannot be opened or a read fails.
std::optional<std::string> readFileBytes(const std::filesystem::path& path,
                                         std::size_t limit = SIZE_MAX);

}  // namespace jc
