// The user's temporary directory, atomic replacement and guarded reading; the run loop's
// ordering of timers, tasks and watches.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "platform/io/runloop.h"
#include "platform/io/temp_files.h"
#include "soap/soap_client.h"
#include "soap_test_support.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class TempFilesTest : public ExchangeFixture {};

TEST_F(TempFilesTest, TheTemporaryDirectoryFollowsTheEnvironment) {
  // TMPDIR, else XDG_RUNTIME_DIR, else /tmp; always with one final slash.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"/var/tmp/me", "/run/user/1", "/var/tmp/me/"},
      {"", "/run/user/1", "/run/user/1/"},
      {nullptr, "/run/user/1/", "/run/user/1/"},
      {nullptr, nullptr, "/tmp/"}};
  for (const auto& [tmp, runtime, expected] : cases) {
    tmp ? ::setenv("TMPDIR", tmp, 1) : ::unsetenv("TMPDIR");
    runtime ? ::setenv("XDG_RUNTIME_DIR", runtime, 1) : ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(temporaryDirectory(), expected);
  }
}

TEST_F(TempFilesTest, InASharedTemporaryDirectoryOwnFilesGoIntoAPrivateFolder) {
  // Shared (sticky, like /tmp) → the user's private folder in it; a private one → itself.
  const fs::path shared = dir_ / "shared";
  const std::string own = (shared / ("jobcontrol-" + std::to_string(::geteuid()))).string();
  struct Case {
    const char* what;
    mode_t mode;
    std::function<void()> plant;
    std::string expected;  // "" with a reason containing `reason`
    const char* reason;
    bool needsRoot;
  };
  const std::vector<Case> cases = {
      {"sticky shared", 01777, [] {}, own + "/", "", false},
      {"private", 0700, [] {}, shared.string() + "/", "", false},
      {"planted folder", 01777, [&] { fs::create_directory(own), ::chown(own.c_str(), 4242, 0); },
       "", "belongs to another user", true},
      {"open folder", 01777, [&] { fs::create_directory(own), ::chmod(own.c_str(), 0777); }, "",
       "can be written by other users", false},
      {"planted link", 01777, [&] { fs::create_directory_symlink(dir_, own); }, "",
       "is not a folder", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needsRoot && ::geteuid() != 0) continue;
    fs::remove_all(shared);
    fs::create_directory(shared);
    ::chmod(shared.c_str(), c.mode);
    c.plant();
    ::setenv("TMPDIR", shared.c_str(), 1);
    Result<std::string> folder = userTemporaryDirectory();
    EXPECT_EQ(folder.ok() ? *folder : "", c.expected);
    EXPECT_NE(folder.message().find(c.reason), std::string::npos) << folder.message();
    if (c.expected == own + "/") {
      struct stat st {};
      ASSERT_EQ(::lstat(own.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0700u);
      EXPECT_EQ(soap::responseFilePath().value(), own + "/vwxyz.xml");
    }
  }
  ::setenv("TMPDIR", dir_.c_str(), 1);
}

TEST_F(TempFilesTest, WritesReplaceWholePrivatelyAndNeverFollowLinks) {
  std::string path = (dir_ / "file.xml").string(), victim = (dir_ / "victim").string();
  ASSERT_TRUE(writeFileAtomically(path, "first, longer text"));
  ASSERT_TRUE(writeFileAtomically(path, "second"));
  EXPECT_EQ(contents(path), "second");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  write(victim, "precious");
  fs::remove(path);
  fs::create_symlink(victim, path);
  ASSERT_TRUE(writeFileAtomically(path, "mine"));
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(contents(victim), "precious");
  // A failed write leaves no stray temporary behind.
  EXPECT_FALSE(writeFileAtomically((dir_ / "missing" / "x").string(), "data"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2);
}

TEST_F(TempFilesTest, ReadsOnlyOwnRegularFilesWithinTheLimit) {
  std::string path = (dir_ / "r").string(), link = (dir_ / "l").string(),
              fifo = (dir_ / "p").string();
  write(path, "0123456789");
  fs::create_symlink(path, link);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not block the read
  const std::tuple<std::string, std::size_t, ReadRefusal> cases[] = {
      {(dir_ / "none").string(), 100, ReadRefusal::Missing},
      {path, 10, ReadRefusal::None},
      {path, 9, ReadRefusal::TooLarge},
      {link, 100, ReadRefusal::Link},
      {fifo, 100, ReadRefusal::NotRegular}};
  for (const auto& [file, limit, refusal] : cases) {
    ReadRefusal why{};
    auto read = readOwnFile(file, limit, &why);
    EXPECT_EQ(why, refusal) << file;
    EXPECT_EQ(read.value_or("refused"), refusal == ReadRefusal::None ? "0123456789" : "refused");
  }
  // A comparison takes the same care and holds only for exactly the same bytes.
  const std::tuple<std::string, std::string_view, bool> comparisons[] = {
      {path, "0123456789", true},           {path, "0123456780", false}, {path, "012345678", false},
      {path, "01234567890", false},         {link, "0123456789", false}, {fifo, "", false},
      {(dir_ / "none").string(), "", false}};
  for (const auto& [file, bytes, holds] : comparisons)
    EXPECT_EQ(ownFileHolds(file, bytes), holds) << file << " " << bytes;
}

TEST(RunLoopTest, RunsTasksTimersAndWatchesInOrderAndReturnsAfterEach) {
  PollRunLoop loop;
  auto soon = [] { return RunLoop::Clock::now() + 1s; };
  std::vector<int> order;
  loop.addTimer(30ms, [&] { order.push_back(3); });
  RunLoop::Id cancelled = loop.addTimer(10ms, [&] { order.push_back(99); });
  loop.addTimer(20ms, [&] { order.push_back(2); });
  loop.post([&] { order.push_back(1); });
  loop.cancelTimer(cancelled);
  EXPECT_TRUE(loop.runOnce(soon()));
  EXPECT_EQ(order, std::vector<int>{1});
  while (order.size() < 3) ASSERT_TRUE(loop.runOnce(soon()));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  auto start = RunLoop::Clock::now();
  EXPECT_FALSE(loop.runOnce(start + 30ms));  // nothing left: waits out the time and says so
  EXPECT_GE(RunLoop::Clock::now() - start, 30ms);

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  int seen = 0;
  RunLoop::Id watch = loop.watchFd(fds[0], POLLIN, [&](short) {
    char c;
    (void)!::read(fds[0], &c, 1);
    ++seen;
    loop.removeWatch(watch);  // removing itself from inside is allowed
  });
  ASSERT_EQ(::write(fds[1], "xy", 2), 2);
  EXPECT_TRUE(loop.runOnce(soon()));
  EXPECT_FALSE(loop.runOnce(RunLoop::Clock::now() + 20ms));
  EXPECT_EQ(seen, 1);
  // Serving until a condition: it is asked first, and after every event served.
  int fired = 0;
  loop.addTimer(10ms, [&] { ++fired; });
  loop.addTimer(20ms, [&] { ++fired; });
  loop.addTimer(500ms, [&] { ++fired; });
  EXPECT_TRUE(loop.runUntil([&] { return fired == 2; }, soon()));
  EXPECT_EQ(fired, 2);
  EXPECT_FALSE(loop.runUntil([&] { return fired == 9; }, RunLoop::Clock::now() + 30ms));
  ::close(fds[0]), ::close(fds[1]);
}

}  // namespace
}  // namespace jc::test
