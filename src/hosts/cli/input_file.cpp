// Bounded reading of the command's input files over POSIX calls.
#include "hosts/cli/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hosts/common/messages.h"

namespace jc::cli {

Result<std::string> readInputFile(const std::string& path) {
  const bool standardInput = path == "-";
  const std::string name = standardInput ? std::string(tr("standard input")) : path;
  auto fail = [&](const std::string& why) { return Refusal{name + ": " + why}; };
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below anyway.
  int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(std::strerror(errno));
  struct Closer {
    int fd;
    bool own;
    ~Closer() {
      if (own) ::close(fd);
    }
  } closer{fd, !standardInput};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return fail(std::strerror(errno));
  // Standard input may be a pipe; the size limit below still holds for it.
  if (!standardInput && !S_ISREG(st.st_mode))
    return fail(S_ISDIR(st.st_mode) ? tr("is a folder, not a file") : tr("not a regular file"));
  const std::string tooLarge =
      subst(tr("larger than %1 MiB; not read"), {std::to_string(kMaxInputFileBytes >> 20)});
  if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) > kMaxInputFileBytes)
    return fail(tooLarge);
  if (!standardInput) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(std::strerror(errno));
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > kMaxInputFileBytes) return fail(tooLarge);
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace jc::cli
