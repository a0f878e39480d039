// Scratch state for tests: a path private to the running test, files read whole, an
// environment variable put back at scope exit, and a file's identity to tell a rewrite.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

namespace jc::test {

/// `prefix` + this process's id + the running test's name, under the temporary directory.
inline std::filesystem::path scratchPath(const std::string& prefix) {
  return std::filesystem::temp_directory_path() /
         (prefix + std::to_string(::getpid()) + "-" +
          ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

/// The bytes of a file, or nullopt when it cannot be opened.
inline std::optional<std::string> contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

/// Every regular file under `root` (none when there is no such folder) with its bytes.
inline std::map<std::string, std::string> filesUnder(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ec))
    if (entry.is_regular_file()) files[entry.path().string()] = contents(entry.path()).value_or("");
  return files;
}

/// Puts an environment variable back as it was (or unset) when the guard goes.
class EnvGuard {
 public:
  explicit EnvGuard(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) saved_ = value;
  }
  ~EnvGuard() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

/// A file's inode and modification time in nanoseconds: the same exactly when the file was
/// neither replaced nor written in between.
inline std::pair<ino_t, long long> fileIdentity(const std::filesystem::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
  return {info.st_ino, info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec};
}

}  // namespace jc::test
