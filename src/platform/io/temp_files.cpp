// Temporary directory, atomic replacement and guarded reads over POSIX calls.
#include "platform/io/temp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace jc {

std::string temporaryDirectory() {
  for (const char* name : {"TMPDIR", "XDG_RUNTIME_DIR"}) {
    const char* value = std::getenv(name);
    if (value && *value) {
      std::string dir = value;
      if (dir.back() != '/') dir += '/';
      return dir;
    }
  }
  return "/tmp/";
}

Result<std::string> userTemporaryDirectory() {
  auto refuse = [](std::string reason) { return Refusal{std::move(reason)}; };
  std::string shared = temporaryDirectory();
  struct stat st {};
  if (::stat(shared.c_str(), &st) != 0) return refuse(shared + ": " + std::strerror(errno));
  if (st.st_uid == ::geteuid() && !(st.st_mode & (S_IWGRP | S_IWOTH))) return shared;
  // Others can create, replace or (without the sticky bit) remove names here: a file of
  // ours would be theirs to take, so it goes into a folder only we can enter.
  std::string own = shared + "jobcontrol-" + std::to_string(::geteuid());
  if (::mkdir(own.c_str(), 0700) == 0) ::chmod(own.c_str(), 0700);
  if (::lstat(own.c_str(), &st) != 0) return refuse(own + ": " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) return refuse(own + " is not a folder");
  if (st.st_uid != ::geteuid()) return refuse(own + " belongs to another user");
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return refuse(own + " can be written by other users");
  return own + "/";
}

namespace {

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

Result<> writeFileAtomically(const std::string& path, std::string_view data, bool durable) {
  return writeFileAtomically(path, data, durable, 0600);
}

Result<> writeFileAtomically(const std::string& path, std::string_view data, bool durable,
                             unsigned mode) {
  // mkstemp creates the name exclusively (O_EXCL) with mode 0600, so nothing planted in a
  // shared folder can stand in for it; rename then swaps the directory entry itself.
  if (path.empty()) return Refusal{"no file name to write to"};
  std::vector<char> name(path.begin(), path.end());
  for (char c : std::string_view(".XXXXXX")) name.push_back(c);
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Refusal{path + ": cannot create a file beside it: " + std::strerror(errno)};
  bool ok = (mode == 0600 || ::fchmod(fd, static_cast<mode_t>(mode)) == 0) && writeAll(fd, data) &&
            (!durable || ::fsync(fd) == 0);
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(name.data(), path.c_str()) == 0) return accepted();
  const int error = errno;
  ::unlink(name.data());
  return Refusal{path + ": cannot write: " + std::strerror(error)};
}

namespace {

std::string tooLarge(const std::string& path, std::size_t maxBytes) {
  return path + " is larger than " + std::to_string(maxBytes) + " bytes";
}

// Opens `path` for reading when it is a regular file of the calling user, not a link, of
// at most `maxBytes` bytes; its size goes to `size`.
Result<int> openOwnFile(const std::string& path, std::size_t maxBytes, std::size_t* size) {
  // O_NONBLOCK: a planted FIFO must not block the open; it is refused below anyway.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Refusal{path + " does not exist"};
    if (errno == ELOOP) return Refusal{path + " is a symbolic link"};
    return Refusal{path + ": " + std::strerror(errno)};
  }
  struct stat st {};
  std::string refusal;
  if (::fstat(fd, &st) != 0)
    refusal = path + ": " + std::strerror(errno);
  else if (!S_ISREG(st.st_mode))
    refusal = path + " is not a regular file";
  else if (st.st_uid != ::geteuid())
    refusal = path + " belongs to another user";
  else if (static_cast<unsigned long long>(st.st_size) > maxBytes)
    refusal = tooLarge(path, maxBytes);
  if (!refusal.empty()) {
    ::close(fd);
    return Refusal{refusal};
  }
  *size = static_cast<std::size_t>(st.st_size);
  return fd;
}

struct Closer {
  int fd;
  ~Closer() { ::close(fd); }
};

// Reads into `buffer` up to its size; the count read (0 at the end), or -1 on an error.
ssize_t readSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

}  // namespace

Result<std::string> readOwnFile(const std::string& path, std::size_t maxBytes) {
  std::size_t size = 0;
  Result<int> fd = openOwnFile(path, maxBytes, &size);
  if (!fd) return fd.refusal();
  Closer closer{*fd};
  std::string data;
  data.reserve(size);
  char buffer[65536];
  for (;;) {
    ssize_t n = readSome(*fd, buffer, sizeof buffer);
    if (n < 0) return Refusal{path + ": " + std::strerror(errno)};
    if (n == 0) break;
    // The file may grow after fstat; the limit holds for what is actually read.
    if (static_cast<std::size_t>(n) > maxBytes - data.size())
      return Refusal{tooLarge(path, maxBytes)};
    data.append(buffer, static_cast<std::size_t>(n));
  }
  return data;
}

bool ownFileHolds(const std::string& path, std::string_view bytes) {
  std::size_t size = 0;
  Result<int> opened = openOwnFile(path, bytes.size(), &size);
  if (!opened) return false;
  const int fd = *opened;
  Closer closer{fd};
  if (size != bytes.size()) return false;
  char buffer[65536];
  for (;;) {
    ssize_t n = readSome(fd, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return bytes.empty();
    if (static_cast<std::size_t>(n) > bytes.size() ||
        std::memcmp(buffer, bytes.data(), static_cast<std::size_t>(n)) != 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace jc
