// The user-defaults store: round trips, damaged files kept aside, crash safety, and
// concurrent read-modify-write cycles from several processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "platform/io/user_defaults.h"
#include "support/scratch.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 0777;
}

// The domain as a value to compare: nullopt when absent, damaged or refused.
std::optional<PropertyDictionary> domainOf(const UserDefaults& store, const std::string& name) {
  auto read = store.persistentDomain(name);
  return read ? std::move(*read) : std::nullopt;
}

class UserDefaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::scratchPath("jc-defaults-");
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::vector<fs::path> filesMatching(const std::string& part) {
    std::vector<fs::path> found;
    for (auto& entry : fs::directory_iterator(folder_))
      if (entry.path().filename().string().find(part) != std::string::npos)
        found.push_back(entry.path());
    return found;
  }
  fs::path folder_;
};

TEST_F(UserDefaultsTest, DomainsRoundTripEveryValueKindWithPrivateFiles) {
  UserDefaults store(folder_);
  PropertyDictionary entry{{"name", "Scans"}, {"password", true}, {"dir", false}, {"add", false}};
  PropertyDictionary domain{
      {"Job Control", PropertyDictionary{{"Model Name", "Vorelia MFP Demo 630e"},
                                         {"Release Number", "2.00"},
                                         {"hold button", std::int64_t{258}},
                                         {"user name", "Zoë \u65E5\u672C <&>"},
                                         {"files", PropertyArray{entry, entry}}}},
      {"other", 1.5}};
  EXPECT_FALSE(domainOf(store, "vorelia.mfp.P1"));
  ASSERT_TRUE(store.setPersistentDomain("vorelia.mfp.P1", domain));
  EXPECT_EQ(domainOf(store, "vorelia.mfp.P1"), domain);
  EXPECT_EQ(modeOf(store.fileForDomain("vorelia.mfp.P1")), 0600u);
  EXPECT_TRUE(filesMatching(".XXXXXX").empty());
}

// An unchanged domain keeps its file's inode and time; a real change rewrites it.
TEST_F(UserDefaultsTest, OnlyAChangedDomainIsWritten) {
  UserDefaults store(folder_);
  const std::string name = "vorelia.mfp.P1";
  ASSERT_TRUE(store.setPersistentDomain(name, {{"Job Control", PropertyDictionary{{"a", 1}}}}));
  struct Case {
    const char* what;
    std::function<bool()> step;
    bool rewritten;
  };
  auto update = [&](std::function<void(PropertyDictionary&)> edit) {
    return [&store, name, edit] { return store.updateDomain(name, edit).ok(); };
  };
  const Case cases[] = {
      {"same value set again",
       [&] {
         return store.setPersistentDomain(name, {{"Job Control", PropertyDictionary{{"a", 1}}}})
             .ok();
       },
       false},
      {"update that changes nothing", update([](auto&) {}), false},
      {"value rewritten with itself", update([](auto& d) {
         d["Job Control"] = PropertyDictionary{{"a", 1}};
       }),
       false},
      {"update that changes a value", update([](auto& d) { d["b"] = "new"; }), true},
  };
  for (const Case& c : cases) {
    auto before = test::fileIdentity(store.fileForDomain(name));
    EXPECT_TRUE(c.step()) << c.what;
    EXPECT_EQ(test::fileIdentity(store.fileForDomain(name)) != before, c.rewritten) << c.what;
  }
  Result<PropertyDictionary> result = store.updateDomain(name, [](auto&) {});
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, domainOf(store, name));
}

TEST_F(UserDefaultsTest, DomainNamesCannotLeaveTheFolder) {
  UserDefaults store(folder_);
  for (const char* name : {"../escape", "a/b", "..", ".", "", "vorelia.mfp.q 1"}) {
    fs::path file = store.fileForDomain(name);
    EXPECT_EQ(file.parent_path(), folder_) << name;
    EXPECT_NE(file.filename(), "..plist");
    ASSERT_TRUE(store.setPersistentDomain(name, {{"k", name}})) << name;
    EXPECT_EQ(domainOf(store, name), (PropertyDictionary{{"k", name}})) << name;
  }
  EXPECT_NE(store.fileForDomain("a/b"), store.fileForDomain("a%2Fb"));
}

TEST_F(UserDefaultsTest, ADamagedFileReadsAsAbsentAndIsKeptAside) {
  UserDefaults store(folder_);
  std::ofstream(store.fileForDomain("d")) << "<?xml version=\"1.0\"?><plist><dict><key>x";
  EXPECT_FALSE(domainOf(store, "d"));
  auto aside = filesMatching(".damaged-");
  ASSERT_EQ(aside.size(), 1u);
  EXPECT_NE(test::contents(aside.front())->find("<key>x"), std::string::npos);
  // A later write starts afresh and leaves the damaged copy alone.
  ASSERT_TRUE(store.updateDomain("d", [](PropertyDictionary& d) { d["fresh"] = true; }));
  EXPECT_EQ(domainOf(store, "d"), (PropertyDictionary{{"fresh", true}}));
  EXPECT_EQ(filesMatching(".damaged-").size(), 1u);
  // Also damaged: another root kind, a NUL in a string (once aborted libplist), binary lists.
  using namespace std::string_literals;
  const std::string nul = "<plist><dict><key>a</key><string>x\0y</string></dict></plist>"s;
  for (const std::string& text : {std::string("<plist><array/></plist>"), nul,
                                  std::string("bplist00\xD1\x01\x02QaQb\x08\x0B\x0D")}) {
    std::ofstream(store.fileForDomain("e"), std::ios::binary) << text;
    EXPECT_FALSE(domainOf(store, "e"));
  }
}

TEST_F(UserDefaultsTest, TheStandardStoreMakesItsFoldersPrivateOrThereIsNone) {
  test::EnvGuard guard("XDG_CONFIG_HOME");
  std::ofstream(folder_ / "file") << "x";
  ::setenv("XDG_CONFIG_HOME", (folder_ / "file").c_str(), 1);
  EXPECT_FALSE(UserDefaults::standard());
  ::setenv("XDG_CONFIG_HOME", (folder_ / "a" / "b").c_str(), 1);
  mode_t saved = ::umask(0);
  auto store = UserDefaults::standard();
  ::umask(saved);
  ASSERT_TRUE(store);
  EXPECT_EQ(store->folder(), folder_ / "a/b/jobcontrol");
  for (const fs::path& made : {folder_ / "a", folder_ / "a" / "b", folder_ / "a/b/jobcontrol"})
    EXPECT_EQ(modeOf(made), 0700u) << made;
}

// Kept in memory, the store answers every operation as the files would (values that XML
// cannot carry come back as a file gives them) and touches no folder: the exit status of a
// process that switched to memory and compared the two stores step by step.
int memoryAnswersAsFiles(const fs::path& folder) {
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  UserDefaults::keepInMemory();
  Result<UserDefaults> memory = UserDefaults::standard();
  if (!memory) return 2;
  UserDefaults files(folder);
  const std::string name = "vorelia.mfp.P1";
  // Each step answers whether the store took it.
  using Step = std::function<bool(UserDefaults&)>;
  const Step steps[] = {
      [&](UserDefaults&) { return true; },
      [&](UserDefaults& s) {
        return bool(s.setPersistentDomain(
            name, {{"Job Control", PropertyDictionary{{"user name", "a\x01-\xff"},
                                                      {"files", PropertyArray{1, 2}}}}}));
      },
      [&](UserDefaults& s) {
        return bool(s.updateDomain(
            name, [](PropertyDictionary& d) { d["Job Control"].dictionary()->erase("files"); },
            {"Job Control", "files"}));
      },
      [&](UserDefaults& s) {
        return bool(s.updateDomain(name, [](PropertyDictionary& d) { d["n"] = 2; }));
      },
  };
  for (const Step& step : steps) {
    if (step(*memory) != step(files)) return 5;
    if (domainOf(*memory, name) != domainOf(files, name)) return 3;
  }
  return fs::exists(folder / "config") ? 4 : 0;
}

// In a child process, as the switch is for the whole process.
TEST_F(UserDefaultsTest, AStoreKeptInMemoryAnswersAsItsFilesWouldAndWritesNothing) {
  EXPECT_EXIT(std::exit(memoryAnswersAsFiles(folder_)), ::testing::ExitedWithCode(0), "");
}

TEST_F(UserDefaultsTest, WhatIsNotTheUsersOwnIsNeitherReadNorReplaced) {
  test::EnvGuard guard("XDG_CONFIG_HOME");
  ::setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
  const fs::path own = folder_ / "jobcontrol";
  const std::string planted = "<plist><dict><key>planted</key><true/></dict></plist>";
  const fs::path file = UserDefaults(own).fileForDomain("d"), lock = file.string() + ".lock";
  const bool root = ::geteuid() == 0;
  struct Case {
    const char* what;
    std::function<void()> plant;
    const char* reason;
    bool needsRoot;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"group-writable folder", [&] { fs::permissions(own, fs::perms(0770)); },
       "can be written by other users", false},
      {"folder of another user", [&] { ::chown(own.c_str(), 4242, 4242); },
       "belongs to another user", true},
      {"domain file of another user",
       [&] { std::ofstream(file) << planted; ::chown(file.c_str(), 4242, 4242); },
       "belongs to another user", true},
      {"domain FIFO", [&] { ::mkfifo(file.c_str(), 0600); }, "is not a regular file", false},
      {"lock FIFO", [&] { ::mkfifo(lock.c_str(), 0600); }, "is not a regular file", false},
      {"domain link",
       [&] { std::ofstream(own / "../x") << planted; fs::create_symlink(own / "../x", file); },
       "is a symbolic link", false},
      {"dangling lock link", [&] { fs::create_symlink(folder_ / "nowhere", lock); },
       "is a symbolic link", false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.needsRoot && !root) continue;
    fs::remove_all(own);
    fs::create_directory(own);
    fs::permissions(own, fs::perms::owner_all);
    c.plant();
    auto store = UserDefaults::standard();
    if (!store) {
      EXPECT_NE(store.message().find(c.reason), std::string::npos) << store.message();
      EXPECT_NE(store.message().find(own.string()), std::string::npos) << store.message();
      continue;
    }
    // Every operation refuses, naming the file and why.
    const std::string messages[] = {
        store->persistentDomain("d").message(),
        store->updateDomain("d", [](PropertyDictionary& d) { d["mine"] = true; }).message(),
        store->setPersistentDomain("d", {{"mine", true}}).message()};
    for (const std::string& message : messages)
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    EXPECT_TRUE(filesMatching(".damaged-").empty());
    EXPECT_TRUE(!fs::is_regular_file(fs::symlink_status(file)) || test::contents(file) == planted);
  }
}

TEST_F(UserDefaultsTest, AFileTooLargeToReadIsLeftAsItIsAndNotReplaced) {
  UserDefaults store(folder_);
  const fs::path file = store.fileForDomain("big");
  std::ofstream(file) << "<plist><dict><key>k</key><string>"
                      << std::string(UserDefaults::kMaxDomainBytes, 'x')
                      << "</string></dict></plist>";
  const auto size = fs::file_size(file);
  const std::string refused = store.persistentDomain("big").message();
  EXPECT_NE(refused.find("larger than 64 MiB"), std::string::npos) << refused;
  EXPECT_FALSE(store.updateDomain("big", [](PropertyDictionary& d) { d["k"] = "small"; }));
  EXPECT_EQ(fs::file_size(file), size);
  EXPECT_TRUE(filesMatching(".damaged-").empty());
}

TEST_F(UserDefaultsTest, ConcurrentProcessesNeverLoseOrTearAnUpdate) {
  constexpr int kProcesses = 4;
  constexpr int kCycles = 200;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      UserDefaults store(folder_);
      bool ok = true;
      for (int i = 0; i < kCycles && ok; ++i) {
        ok = store
                 .updateDomain("shared",
                               [&](PropertyDictionary& d) {
                                 std::int64_t count = d.count("count") ? *d["count"].integer() : 0;
                                 d["count"] = count + 1;
                                 d["writer"] = static_cast<std::int64_t>(p);
                                 d["padding"] = std::string(4096, static_cast<char>('a' + p));
                               })
                 .ok();
        ok = ok && domainOf(store, "shared").has_value();
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  auto domain = domainOf(UserDefaults(folder_), "shared");
  ASSERT_TRUE(domain);
  EXPECT_EQ(*(*domain)["count"].integer(), kProcesses * kCycles);
  EXPECT_TRUE(filesMatching(".damaged-").empty());
}

TEST_F(UserDefaultsTest, AWriterKilledMidSaveLeavesTheOldOrTheNewDomain) {
  UserDefaults store(folder_);
  ASSERT_TRUE(store.setPersistentDomain("k", {{"generation", std::int64_t{0}}}));
  for (int round = 0; round < 20; ++round) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      UserDefaults child(folder_);
      for (std::int64_t g = 1;; ++g)
        (void)child.setPersistentDomain("k",
                                        {{"generation", g}, {"bulk", std::string(1 << 18, 'x')}});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2 + round % 7));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    auto domain = domainOf(store, "k");
    ASSERT_TRUE(domain) << "round " << round;
    EXPECT_TRUE((*domain)["generation"].integer());
  }
  EXPECT_TRUE(filesMatching(".damaged-").empty());
  // Each killed writer may leave its temporary file (one more is planted); the next save
  // clears them all, but leaves another domain's for that domain's own save.
  const std::string other = "." + store.fileForDomain("other").filename().string() + ".";
  for (const std::string& name : {std::string(".k.plist.Zz9Yy8"), other + "a1B2c3"})
    std::ofstream(folder_ / name) << "half a domain";
  ASSERT_TRUE(store.setPersistentDomain("k", {{"generation", std::int64_t{-1}}}));
  EXPECT_TRUE(filesMatching(".k.plist.").empty());
  EXPECT_EQ(filesMatching(other).size(), 1u);
}

}  // namespace
}  // namespace jc
