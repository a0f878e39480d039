// Reading a file's bytes with open, fstat and read.
#include "platform/io/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/io/fd.h"

namespace jc {

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::size_t limit) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  std::string bytes;
  // Sized once from the file's length, so a file read whole is copied once.
  if (struct stat st{}; ::fstat(fd.get(), &st) == 0 && st.st_size > 0)
    bytes.reserve(std::min(static_cast<std::size_t>(st.st_size), limit));
  char buffer[16384];
  while (bytes.size() < limit) {
    ssize_t n = ::read(fd.get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace jc
