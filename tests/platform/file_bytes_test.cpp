// Reading a file's bytes: whole, up to a limit, and nothing from what cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/io/file_bytes.h"
#include "support/scratch.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

TEST(FileBytes, ReadsWholeOrUpToTheLimitAndNothingFromWhatIsNotAReadableFile) {
  const fs::path folder = test::scratchPath("jc-bytes-");
  fs::create_directories(folder);
  std::string big(40000, 'x');  // more than one read's buffer
  big[39999] = 'y';
  std::ofstream(folder / "big", std::ios::binary) << big;
  std::ofstream(folder / "empty");
  const struct {
    fs::path path;
    std::size_t limit;
    std::optional<std::string> bytes;
  } cases[] = {
      {folder / "big", SIZE_MAX, big},
      {folder / "big", 24, big.substr(0, 24)},
      {folder / "big", 39999, big.substr(0, 39999)},
      {folder / "empty", SIZE_MAX, ""},
      {folder / "missing", SIZE_MAX, std::nullopt},
      {folder, SIZE_MAX, std::nullopt},  // a folder opens but cannot be read
  };
  for (const auto& c : cases)
    EXPECT_EQ(readFileBytes(c.path, c.limit), c.bytes) << c.path << " " << c.limit;
  fs::remove_all(folder);
}

}  // namespace
}  // namespace jc
