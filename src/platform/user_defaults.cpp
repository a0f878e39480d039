// The user-defaults store on disk: atomic replacement, advisory locks, damaged files kept.
#include "platform/user_defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>

namespace jc {

namespace fs = std::filesystem;

namespace {

// A file descriptor closed on scope exit.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

// Holds the domain's exclusive advisory lock for its lifetime.
class DomainLock {
 public:
  explicit DomainLock(const fs::path& lockFile)
      : fd_(::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
    if (!fd_) return;
    while (::flock(fd_.get(), LOCK_EX) != 0) {
      if (errno != EINTR) return;
    }
    locked_ = true;
  }
  explicit operator bool() const { return locked_; }

 private:
  Fd fd_;
  bool locked_ = false;
};

bool makePrivateFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder, ec)) return false;
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> readFile(const fs::path& file) {
  Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > (64u << 20)) return std::string();  // absurd size: treat as damaged
  }
  return bytes;
}

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::optional<UserDefaults> UserDefaults::standard() {
  fs::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
    base = fs::path(home) / ".config";
  } else {
    return std::nullopt;
  }
  fs::path folder = base / "jobcontrol";
  if (!makePrivateFolder(folder)) return std::nullopt;
  ::chmod(folder.c_str(), 0700);
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

std::optional<PropertyDictionary> UserDefaults::readLocked(const std::string& domain,
                                                           std::string* bytes) const {
  fs::path file = fileForDomain(domain);
  std::optional<std::string> read = readFile(file);
  if (!read) return std::nullopt;
  if (auto parsed = parsePropertyList(*read)) {
    if (bytes) *bytes = std::move(*read);
    return parsed;
  }
  // Damaged: keep it aside for the user to inspect, and answer "absent".
  auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
  fs::path aside = file;
  aside += ".damaged-" + std::to_string(stamp) + "-" + std::to_string(::getpid());
  ::rename(file.c_str(), aside.c_str());
  return std::nullopt;
}

bool UserDefaults::writeLocked(const std::string& domain, const std::string& bytes) {
  fs::path file = fileForDomain(domain);
  std::string temp = (folder_ / ("." + file.filename().string() + ".XXXXXX")).string();
  Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (!fd) return false;
  bool ok = ::fchmod(fd.get(), 0600) == 0 && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 &&
            ::rename(temp.c_str(), file.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::optional<PropertyDictionary> UserDefaults::persistentDomain(const std::string& domain) const {
  fs::path lock = fileForDomain(domain);
  lock += ".lock";
  DomainLock held(lock);
  if (!held) return std::nullopt;
  return readLocked(domain);
}

bool UserDefaults::setPersistentDomain(const std::string& domain, const PropertyDictionary& value) {
  fs::path lock = fileForDomain(domain);
  lock += ".lock";
  DomainLock held(lock);
  if (!held) return false;
  std::string old;
  readLocked(domain, &old);  // a damaged file is moved aside, not overwritten
  std::string bytes = propertyListXML(value);
  // An unchanged domain is left alone: no write, no flush, no rename.
  return bytes == old || writeLocked(domain, bytes);
}

bool UserDefaults::updateDomain(const std::string& domain,
                                const std::function<void(PropertyDictionary& domain)>& change,
                                PropertyDictionary* result) {
  fs::path lock = fileForDomain(domain);
  lock += ".lock";
  DomainLock held(lock);
  if (!held) return false;
  std::string old;
  PropertyDictionary value = readLocked(domain, &old).value_or(PropertyDictionary{});
  change(value);
  std::string bytes = propertyListXML(value);
  bool same = bytes == old;
  old = std::string();  // the old text is no longer needed: keep the peak low
  bool ok = same || writeLocked(domain, bytes);
  if (ok && result) *result = std::move(value);
  return ok;
}

}  // namespace jc
