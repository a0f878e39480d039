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
#include <mutex>
#include <system_error>

#include "platform/io/fd.h"

namespace jc {

namespace fs = std::filesystem;

namespace {

// Fuzz builds save thousands of times a second; a flush to disk there only slows them.
#ifdef JOBCONTROL_NO_FSYNC
constexpr bool kDurable = false;
#else
constexpr bool kDurable = true;
#endif

std::string quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

// Refused unless the open file is one the store may use: a regular file of the calling
// user.
Result<> ownFile(int fd, const fs::path& path) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return Refusal{quoted(path) + ": " + std::strerror(errno)};
  if (!S_ISREG(st.st_mode)) return Refusal{quoted(path) + " is not a regular file"};
  if (st.st_uid != ::geteuid()) return Refusal{quoted(path) + " belongs to another user"};
  return accepted();
}

// Opens `path` without following a link and without blocking on a FIFO.
Result<Fd> openOwn(const fs::path& path, int flags) {
  Fd fd(::open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600));
  if (!fd)
    return Refusal{errno == ELOOP ? quoted(path) + " is a symbolic link"
                                  : quoted(path) + ": " + std::strerror(errno)};
  if (Result<> own = ownFile(fd.get(), path); !own) return own.refusal();
  // Reads and locks below may wait as usual.
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// The domain's exclusive advisory lock, held as long as the answered file stays open.
Result<Fd> lockDomain(const fs::path& lockFile) {
  Result<Fd> fd = openOwn(lockFile, O_RDWR | O_CREAT);
  if (!fd) return fd;
  while (::flock(fd->get(), LOCK_EX) != 0) {
    if (errno != EINTR)
      return Refusal{quoted(lockFile) + ": cannot be locked: " + std::strerror(errno)};
  }
  return fd;
}

// Creates every missing folder of `folder` mode 0700: the configuration folders hold the
// user's remembered credentials, and a umask of 000 must not open them to everyone.
Result<> makePrivateFolders(const fs::path& folder) {
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    struct stat st {};
    if (::stat(partial.c_str(), &st) == 0) continue;
    if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
      return Refusal{quoted(partial) + ": cannot be created: " + std::strerror(errno)};
    ::chmod(partial.c_str(), 0700);
  }
  return accepted();
}

// Refused unless `folder` is one the store may use: a folder of the calling user that
// nobody else can write to (as ssh treats ~/.ssh).
Result<> privateFolder(const fs::path& folder) {
  auto refuse = [&](const std::string& why) { return Refusal{quoted(folder) + why}; };
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return refuse(std::string(": ") + std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) return refuse(" is not a folder");
  if (st.st_uid != ::geteuid()) return refuse(" belongs to another user");
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return refuse(" can be written by other users");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    return refuse(std::string(": ") + std::strerror(errno));
  return accepted();
}

// The bytes of `file`, nullopt when there is no such file; refused when it is not the
// user's own or is too large to read.
Result<std::optional<std::string>> readFile(const fs::path& file) {
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0 && errno == ENOENT) return std::optional<std::string>();
  Result<Fd> opened = openOwn(file, O_RDONLY);
  if (!opened) return opened.refusal();
  const Fd& fd = *opened;
  std::string bytes;
  // Sized once: growing by doubling would hold a long domain up to three times over.
  if (struct stat info{}; ::fstat(fd.get(), &info) == 0 && info.st_size > 0 &&
                          static_cast<std::size_t>(info.st_size) <= UserDefaults::kMaxDomainBytes)
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Refusal{quoted(file) + ": " + std::strerror(errno)};
    if (n == 0) break;
    // Too large to read, but that alone does not make it damaged: it stays as it is.
    if (bytes.size() + static_cast<std::size_t>(n) > UserDefaults::kMaxDomainBytes)
      return Refusal{quoted(file) + " is larger than " +
                     std::to_string(UserDefaults::kMaxDomainBytes >> 20) + " MiB; left as it is"};
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return std::optional<std::string>(std::move(bytes));
}

// Whether `file` holds exactly the property-list text of `value`, compared piece by piece
// as it is made, so that the text is never held whole.
bool holdsExactly(const fs::path& file, const PropertyDictionary& value) {
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  struct stat info {};
  if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::string buffer;
  const bool same = writePropertyListXML(value, [&](std::string_view piece) {
                      buffer.resize(piece.size());
                      std::size_t got = 0;
                      while (got < piece.size()) {
                        ssize_t n = ::read(fd.get(), buffer.data() + got, piece.size() - got);
                        if (n < 0 && errno == EINTR) continue;
                        if (n <= 0) return false;
                        got += static_cast<std::size_t>(n);
                      }
                      return std::memcmp(buffer.data(), piece.data(), piece.size()) == 0;
                    }).ok();
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

// Whether the process keeps its store in memory, and the lock that stands in there for the
// domains' lock files.
std::mutex memoryLock;
bool inMemory = false;

// The property-list text of `value`, or nullopt when it is larger than a file may be.
std::optional<std::string> domainText(const PropertyDictionary& value) {
  std::string text;
  bool fits = writePropertyListXML(value, [&](std::string_view piece) {
                if (text.size() + piece.size() > UserDefaults::kMaxDomainBytes) return false;
                text += piece;
                return true;
              }).ok();
  return fits ? std::optional<std::string>(std::move(text)) : std::nullopt;
}

fs::path lockFileFor(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

}  // namespace

void UserDefaults::keepInMemory() {
  std::lock_guard lock(memoryLock);
  inMemory = true;
}

Result<UserDefaults> UserDefaults::standard() {
  {
    std::lock_guard lock(memoryLock);
    static MemoryDomains domains;
    if (inMemory) return UserDefaults(&domains);
  }
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home == '/')
    base = fs::path(home) / ".config";
  else
    return Refusal{"neither $XDG_CONFIG_HOME nor $HOME names a folder"};
  fs::path folder = base / "jobcontrol";
  if (Result<> made = makePrivateFolders(folder); !made) return made.refusal();
  if (Result<> usable = privateFolder(folder); !usable) return usable.refusal();
  return UserDefaults(folder);
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

Result<std::optional<PropertyDictionary>> UserDefaults::readLocked(
    const std::string& domain, const std::vector<std::string>& skipped) const {
  using Domain = std::optional<PropertyDictionary>;
  fs::path file = fileForDomain(domain);
  Result<std::optional<std::string>> bytes = readFile(file);
  if (!bytes) return bytes.refusal();
  if (!*bytes) return Domain();
  if (auto parsed = parsePropertyList(**bytes, skipped)) return Domain(std::move(*parsed));
  // Damaged: keep it aside for the user to inspect, and answer "absent".
  auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
  fs::path aside = file;
  aside += ".damaged-" + std::to_string(stamp) + "-" + std::to_string(::getpid());
  ::rename(file.c_str(), aside.c_str());
  return Domain();
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

Result<> UserDefaults::writeLocked(const std::string& domain, const PropertyDictionary& value) {
  fs::path file = fileForDomain(domain);
  removeStaleTemporaries(file);
  std::string temp = (folder_ / ("." + file.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd) return Refusal{quoted(folder_) + ": cannot write: " + std::strerror(errno)};
  // A file larger than the store reads back would be lost at the next read: not written.
  std::size_t written = 0;
  bool tooLarge = false;
  bool ok = ::fchmod(fd.get(), 0600) == 0 &&
            writePropertyListXML(value,
                                 [&](std::string_view piece) {
                                   written += piece.size();
                                   tooLarge = written > kMaxDomainBytes;
                                   return !tooLarge && writeAll(fd.get(), piece);
                                 })
                .ok() &&
            (!kDurable || ::fsync(fd.get()) == 0) && ::rename(temp.c_str(), file.c_str()) == 0;
  if (ok) return accepted();
  Refusal refusal{tooLarge ? quoted(file) + " would be larger than " +
                                 std::to_string(kMaxDomainBytes >> 20) + " MiB; not written"
                           : quoted(file) + ": cannot write: " + std::strerror(errno)};
  ::unlink(temp.c_str());
  return refusal;
}

// Held under `memoryLock`, as the file's reads and writes are under the domain's lock.
std::optional<PropertyDictionary> UserDefaults::readMemory(
    const std::string& domain, const std::vector<std::string>& skipped) const {
  auto it = memory_->find(domain);
  if (it == memory_->end()) return std::nullopt;
  Result<PropertyDictionary> parsed = parsePropertyList(it->second, skipped);
  if (!parsed) return std::nullopt;
  return std::move(*parsed);
}

Result<> UserDefaults::writeMemory(const std::string& domain, const PropertyDictionary& value) {
  std::optional<std::string> text = domainText(value);
  if (!text)
    return Refusal{"the domain " + domain + " would be larger than " +
                   std::to_string(kMaxDomainBytes >> 20) + " MiB; not kept"};
  (*memory_)[domain] = std::move(*text);
  return accepted();
}

Result<std::optional<PropertyDictionary>> UserDefaults::persistentDomain(
    const std::string& domain) const {
  if (memory_) {
    std::lock_guard lock(memoryLock);
    return readMemory(domain);
  }
  Result<Fd> held = lockDomain(lockFileFor(fileForDomain(domain)));
  if (!held) return held.refusal();
  return readLocked(domain);
}

Result<> UserDefaults::setPersistentDomain(const std::string& domain,
                                           const PropertyDictionary& value) {
  if (memory_) {
    std::lock_guard lock(memoryLock);
    return writeMemory(domain, value);
  }
  Result<Fd> held = lockDomain(lockFileFor(fileForDomain(domain)));
  if (!held) return held.refusal();
  // A damaged file is moved aside, not overwritten; a refused one is left alone.
  if (auto read = readLocked(domain); !read) return read.refusal();
  // An unchanged domain is left alone: no write, no flush, no rename.
  if (holdsExactly(fileForDomain(domain), value)) return accepted();
  return writeLocked(domain, value);
}

Result<PropertyDictionary> UserDefaults::updateDomain(
    const std::string& domain, const std::function<void(PropertyDictionary& domain)>& change,
    const std::vector<std::string>& replaced) {
  if (memory_) {
    std::lock_guard lock(memoryLock);
    PropertyDictionary value = readMemory(domain, replaced).value_or(PropertyDictionary{});
    change(value);
    if (Result<> kept = writeMemory(domain, value); !kept) return kept.refusal();
    return value;
  }
  Result<Fd> held = lockDomain(lockFileFor(fileForDomain(domain)));
  if (!held) return held.refusal();
  Result<std::optional<PropertyDictionary>> read = readLocked(domain, replaced);
  if (!read) return read.refusal();
  PropertyDictionary value = std::move(*read).value_or(PropertyDictionary{});
  change(value);
  if (!holdsExactly(fileForDomain(domain), value))
    if (Result<> written = writeLocked(domain, value); !written) return written.refusal();
  return value;
}

}  // namespace jc
