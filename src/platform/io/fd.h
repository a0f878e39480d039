// An open file descriptor owned by one scope.
#pragma once

#include <unistd.h>

#include <utility>

namespace jc {

/// A file descriptor closed when its owner goes; -1 (false) when there is none. Moves, never
/// copies.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  /// The descriptor, still owned here.
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

}  // namespace jc
