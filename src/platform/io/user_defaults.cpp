// The user-defaults store on disk: atomic replacement, advisory locks, damaged files kept,
// and only the user's own folder and files used.
#include "platform/io/user_defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace jc {

namespace fs = std::filesystem;

namespace {

// Fuzz builds save thousands of times a second; a flush to disk there only slows them.
#ifdef JOBCONTROL_NO_FSYNC
constexpr bool kDurable = false;
#else
constexpr bool kDurable = true;
#endif

// A file descriptor closed on scope exit.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::string quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

// Why an open file is not one the store may use, or "" when it may: it must be a regular
// file of the calling user.
std::string notOwnFile(int fd, const fs::path& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return quoted(path) + ": " + std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return quoted(path) + " is not a regular file";
  if (st.st_uid != ::geteuid()) return quoted(path) + " belongs to another user";
  return "";
}

// Opens `path` without following a link and without blocking on a FIFO; the reason for a
// failure goes to `why`.
Fd openOwn(const fs::path& path, int flags, std::string* why) {
  Fd fd(::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600));
  if (!fd) {
    *why = errno == ELOOP ? quoted(path) + " is a symbolic link"
                          : quoted(path) + ": " + std::strerror(errno);
    return Fd();
  }
  if (std::string refused = notOwnFile(fd.get(), path); !refused.empty()) {
    *why = refused;
    return Fd();
  }
  // Reads and locks below may wait as usual.
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// Holds the domain's exclusive advisory lock for its lifetime.
class DomainLock {
 public:
  DomainLock(const fs::path& lockFile, std::string* why)
      : fd_(openOwn(lockFile, O_RDWR | O_CREAT, why)) {
    if (!fd_) return;
    while (::flock(fd_.get(), LOCK_EX) != 0) {
      if (errno != EINTR) {
        *why = quoted(lockFile) + ": cannot be locked: " + std::strerror(errno);
        return;
      }
    }
    locked_ = true;
  }
  explicit operator bool() const { return locked_; }

 private:
  Fd fd_;
  bool locked_ = false;
};

// Creates every missing folder of `folder` mode 0700: the configuration folders hold the
// user's remembered credentials, and a umask of 000 must not open them to everyone.
bool makePrivateFolders(const fs::path& folder, std::string* why) {
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    struct stat st {};
    if (::stat(partial.c_str(), &st) == 0) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
      *why = quoted(partial) + ": cannot be created: " + std::strerror(errno);
      return false;
    }
    ::chmod(partial.c_str(), 0700);
  }
  return true;
}

// Why `folder` is not one the store may use, or "" when it may: a folder of the calling
// user that nobody else can write to (as ssh treats ~/.ssh).
std::string notPrivateFolder(const fs::path& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return quoted(folder) + ": " + std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return quoted(folder) + " is not a folder";
  if (st.st_uid != ::geteuid()) return quoted(folder) + " belongs to another user";
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return quoted(folder) + " can be written by other users";
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return quoted(folder) + ": " + std::strerror(errno);
  return "";
}

enum class ReadOutcome { Read, Missing, Refused };

ReadOutcome readFile(const fs::path& file, std::string& bytes, std::string* why) {
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0 && errno == ENOENT) return ReadOutcome::Missing;
  Fd fd = openOwn(file, O_RDONLY, why);
  if (!fd) return ReadOutcome::Refused;
  // Sized once: growing by doubling would hold a long domain up to three times over.
  if (struct stat info{}; ::fstat(fd.get(), &info) == 0 && info.st_size > 0 &&
                          static_cast<std::size_t>(info.st_size) <= UserDefaults::kMaxDomainBytes)
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *why = quoted(file) + ": " + std::strerror(errno);
      return ReadOutcome::Refused;
    }
    if (n == 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > UserDefaults::kMaxDomainBytes) {
      // Too large to read, but that alone does not make it damaged: it stays as it is.
      *why = quoted(file) + " is larger than " +
             std::to_string(UserDefaults::kMaxDomainBytes >> 20) + " MiB; left as it is";
      return ReadOutcome::Refused;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return ReadOutcome::Read;
}

// Whether `file` holds exactly the property-list text of `value`, compared piece by piece
// as it is made, so that the text is never held whole.
bool holdsExactly(const fs::path& file, const PropertyDictionary& value) {
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  struct stat info {};
  if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::string buffer;
  bool same = writePropertyListXML(value, [&](std::string_view piece) {
    buffer.resize(piece.size());
    std::size_t got = 0;
    while (got < piece.size()) {
      ssize_t n = ::read(fd.get(), buffer.data() + got, piece.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    return std::memcmp(buffer.data(), piece.data(), piece.size()) == 0;
  });
  char extra;
  return same && ::read(fd.get(), &extra, 1) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

fs::path lockFileFor(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

}  // namespace

Result<UserDefaults> UserDefaults::standard() {
  std::string reason;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = fs::path(home) / ".config";
  } else {
    reason = "neither $XDG_CONFIG_HOME nor $HOME names a folder";
  }
  fs::path folder = base / "jobcontrol";
  if (reason.empty() && makePrivateFolders(folder, &reason)) reason = notPrivateFolder(folder);
  if (reason.empty()) return UserDefaults(folder);
  return Refusal{reason};
}

fs::path UserDefaults::fileForDomain(const std::string& domain) const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string name;
  for (unsigned char c : domain) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '.' || c == '-' || c == '_';
    if (plain) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += kHex[c >> 4];
      name += kHex[c & 15];
    }
  }
  // "." and ".." (or an empty name) must not name the folder itself or its parent.
  if (name.find_first_not_of('.') == std::string::npos) name = "%2E" + name;
  return folder_ / (name + ".plist");
}

UserDefaults::ReadResult UserDefaults::readLocked(const std::string& domain,
                                                  const std::vector<std::string>& skipped) const {
  fs::path file = fileForDomain(domain);
  std::string bytes;
  switch (readFile(file, bytes, &problem_)) {
    case ReadOutcome::Missing:
      return {};
    case ReadOutcome::Refused:
      return {std::nullopt, true};
    case ReadOutcome::Read:
      break;
  }
  if (auto parsed = parsePropertyList(bytes, skipped)) return {std::move(parsed), false};
  // Damaged: keep it aside for the user to inspect, and answer "absent".
  auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
  fs::path aside = file;
  aside += ".damaged-" + std::to_string(stamp) + "-" + std::to_string(::getpid());
  ::rename(file.c_str(), aside.c_str());
  return {};
}

void UserDefaults::removeStaleTemporaries(const fs::path& file) const {
  // Temporary files are made only under the domain's lock, which this process holds: any
  // one left now belongs to a writer that died before its rename.
  const std::string prefix = "." + file.filename().string() + ".";
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlink(it->path().c_str());
  }
}

bool UserDefaults::writeLocked(const std::string& domain, const PropertyDictionary& value) {
  fs::path file = fileForDomain(domain);
  removeStaleTemporaries(file);
  std::string temp = (folder_ / ("." + file.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd) {
    problem_ = quoted(folder_) + ": cannot write: " + std::strerror(errno);
    return false;
  }
  // A file larger than the store reads back would be lost at the next read: not written.
  std::size_t written = 0;
  bool tooLarge = false;
  bool ok = ::fchmod(fd.get(), 0600) == 0 &&
            writePropertyListXML(value,
                                 [&](std::string_view piece) {
                                   written += piece.size();
                                   tooLarge = written > kMaxDomainBytes;
                                   return !tooLarge && writeAll(fd.get(), piece);
                                 }) &&
            (!kDurable || ::fsync(fd.get()) == 0) && ::rename(temp.c_str(), file.c_str()) == 0;
  if (!ok) {
    problem_ = tooLarge ? quoted(file) + " would be larger than " +
                              std::to_string(kMaxDomainBytes >> 20) + " MiB; not written"
                        : quoted(file) + ": cannot write: " + std::strerror(errno);
    ::unlink(temp.c_str());
  }
  return ok;
}

std::optional<PropertyDictionary> UserDefaults::persistentDomain(const std::string& domain) const {
  problem_.clear();
  DomainLock held(lockFileFor(fileForDomain(domain)), &problem_);
  if (!held) return std::nullopt;
  return readLocked(domain).value;
}

bool UserDefaults::setPersistentDomain(const std::string& domain, const PropertyDictionary& value) {
  problem_.clear();
  DomainLock held(lockFileFor(fileForDomain(domain)), &problem_);
  if (!held) return false;
  // A damaged file is moved aside, not overwritten; a refused one is left alone.
  if (readLocked(domain).refused) return false;
  // An unchanged domain is left alone: no write, no flush, no rename.
  return holdsExactly(fileForDomain(domain), value) || writeLocked(domain, value);
}

bool UserDefaults::updateDomain(const std::string& domain,
                                const std::function<void(PropertyDictionary& domain)>& change,
                                PropertyDictionary* result,
                                const std::vector<std::string>& replaced) {
  problem_.clear();
  DomainLock held(lockFileFor(fileForDomain(domain)), &problem_);
  if (!held) return false;
  ReadResult read = readLocked(domain, replaced);
  if (read.refused) return false;
  PropertyDictionary value = std::move(read.value).value_or(PropertyDictionary{});
  change(value);
  bool ok = holdsExactly(fileForDomain(domain), value) || writeLocked(domain, value);
  if (ok && result) *result = std::move(value);
  return ok;
}

}  // namespace jc
