// The user's temporary directory, atomic replacement and guarded reading; the run loop's
// ordering of timers, tasks and watches.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/runloop.h"
#include "platform/temp_files.h"
#include "soap_test_support.h"

namespace jc::test {
namespace {

using namespace std::chrono_literals;

class TempFilesTest : public ExchangeFixture {};

TEST_F(TempFilesTest, TheTemporaryDirectoryFollowsTheEnvironment) {
  ::setenv("TMPDIR", "/var/tmp/me", 1);
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1", 1);
  EXPECT_EQ(temporaryDirectory(), "/var/tmp/me/");
  ::setenv("TMPDIR", "", 1);
  EXPECT_EQ(temporaryDirectory(), "/run/user/1/");
  ::unsetenv("TMPDIR");
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1/", 1);
  EXPECT_EQ(temporaryDirectory(), "/run/user/1/");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(temporaryDirectory(), "/tmp/");
}

TEST_F(TempFilesTest, WritesReplaceWholeAndNeverFollowLinks) {
  std::string path = (dir_ / "file.xml").string();
  ASSERT_TRUE(writeFileAtomically(path, "first, longer text"));
  ASSERT_TRUE(writeFileAtomically(path, "second"));
  EXPECT_EQ(contents(path), "second");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  std::string victim = (dir_ / "victim").string();
  write(victim, "precious");
  std::filesystem::remove(path);
  std::filesystem::create_symlink(victim, path);
  ASSERT_TRUE(writeFileAtomically(path, "mine"));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(contents(path), "mine");
  EXPECT_EQ(contents(victim), "precious");

  // A failed write leaves the file and no stray temporary behind.
  EXPECT_FALSE(writeFileAtomically((dir_ / "missing" / "x").string(), "data"));
  std::size_t entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir_)) (void)e, ++entries;
  EXPECT_EQ(entries, 2u);
}

TEST_F(TempFilesTest, ReadsOnlyOwnRegularFilesWithinTheLimit) {
  std::string path = (dir_ / "r").string();
  ReadRefusal why{};
  EXPECT_FALSE(readOwnFile(path, 100, &why));
  EXPECT_EQ(why, ReadRefusal::Missing);
  write(path, "0123456789");
  EXPECT_EQ(readOwnFile(path, 10, &why), "0123456789");
  EXPECT_EQ(why, ReadRefusal::None);
  EXPECT_FALSE(readOwnFile(path, 9, &why));
  EXPECT_EQ(why, ReadRefusal::TooLarge);
  std::string link = (dir_ / "l").string();
  std::filesystem::create_symlink(path, link);
  EXPECT_FALSE(readOwnFile(link, 100, &why));
  EXPECT_EQ(why, ReadRefusal::Link);
  std::string fifo = (dir_ / "p").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(readOwnFile(fifo, 100, &why));  // and does not block
  EXPECT_EQ(why, ReadRefusal::NotRegular);
}

TEST(RunLoopTest, RunsTasksAndTimersInOrderAndReturnsAfterEach) {
  RunLoop loop;
  std::vector<int> order;
  loop.addTimer(30ms, [&] { order.push_back(3); });
  RunLoop::Id cancelled = loop.addTimer(10ms, [&] { order.push_back(99); });
  loop.addTimer(20ms, [&] { order.push_back(2); });
  loop.post([&] { order.push_back(1); });
  loop.cancelTimer(cancelled);
  EXPECT_TRUE(loop.runFor(1s));
  EXPECT_EQ(order, std::vector<int>{1});
  while (order.size() < 3) ASSERT_TRUE(loop.runFor(1s));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  auto start = RunLoop::Clock::now();
  EXPECT_FALSE(loop.runFor(30ms));  // nothing left: waits out the time and says so
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
  ASSERT_EQ(::write(fds[1], "x", 1), 1);
  EXPECT_TRUE(loop.runFor(1s));
  ASSERT_EQ(::write(fds[1], "y", 1), 1);
  EXPECT_FALSE(loop.runFor(20ms));
  EXPECT_EQ(seen, 1);
  ::close(fds[0]);
  ::close(fds[1]);
}

}  // namespace
}  // namespace jc::test
