// `jobcontrol` run as a user runs it: entries as user events, refusals that save nothing,
// held entries remembered, the folder list from the printer simulator, and decode.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "printer_simulator.h"
#include "support/test_paths.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;  // standard output
  std::string err;  // standard error
};

class CliCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("jc-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program with a configuration folder of this test's own.
  Outcome run(const std::string& arguments, const std::string& input = "",
              const std::string& bundle = test::kBundleDir) {
    fs::path err = dir_ / "stderr";
    fs::path in = dir_ / "stdin";
    std::ofstream(in) << input;
    // A command that hangs fails the test (status 124) instead of stopping the suite.
    std::string command = "XDG_CONFIG_HOME=" + (dir_ / "config").string() + " timeout 20 " +
                          test::kCliPath + " --bundle " + bundle + " " + arguments + " <" +
                          in.string() + " 2>" + err.string();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "", ""};
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
      out.append(buffer.data(), n);
    int status = pclose(pipe);
    std::ifstream errIn(err);
    std::string errText((std::istreambuf_iterator<char>(errIn)), {});
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, errText};
  }
  fs::path file(const std::string& name) const { return dir_ / name; }

  fs::path dir_;
};

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(CliCommand, BadFilesAreErrorsNamingTheFileAndForeignSavedKeysAreKept) {
  Outcome notBundle = run("set", "", "/nonexistent/JobControl.plugin");
  EXPECT_EQ(notBundle.status, 1);
  EXPECT_TRUE(has(notBundle.err, "/nonexistent/JobControl.plugin")) << notBundle.err;
  Outcome badPPD = run("--ppd /nonexistent/x.ppd --printer-id q set");
  EXPECT_EQ(badPPD.status, 1);
  EXPECT_TRUE(has(badPPD.err, "/nonexistent/x.ppd")) << badPPD.err;

  std::ofstream(file("saved")) << "# an earlier save\ncom.example.other=kept\n";
  Outcome kept = run("--settings " + file("saved").string() + " set");
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_TRUE(has(kept.out, "com.example.other=kept\n")) << kept.out;
  std::ofstream(file("saved")) << "no equals sign here\n";
  Outcome bad = run("--settings " + file("saved").string() + " set");
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(has(bad.err, "line 1")) << bad.err;
}

TEST_F(CliCommand, RefusedEntriesNameTheEntryAndTheReasonAndSaveNothing) {
  struct Case {
    std::string entries;
    std::string word;
    std::string reason;
  };
  const Case cases[] = {
      {"pass-code=1234", "pass-code=1234", "dimmed"},  // retention is off
      {"retention=hold-only pass-code=123456", "pass-code=123456", "at most 5 characters"},
      {"retention=sample account-number=4x", "account-number=4x", "digits only"},
      {"user-number=12", "user-number=12", "dimmed"},  // login name chosen
      {"retention=hold-only filing=Nowhere", "filing=Nowhere", "jobcontrol folders"},
      {"login-name=al hold=login-name login-name=bo", "login-name=bo", "unhold=login-name"},
      {"hold=pass-code retention=sideways", "retention=sideways", "one of"},
  };
  for (const Case& c : cases) {
    Outcome r = run("set hold=job-name " + c.entries + " --out " + file("out").string());
    EXPECT_EQ(r.status, 2) << c.entries;
    EXPECT_TRUE(has(r.err, c.word) && has(r.err, c.reason)) << c.entries << "\n" << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(file("out"))) << c.entries;
  }
  // Nothing was remembered: the job name's hold button is still off.
  Outcome show = run("show --json");
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_TRUE(has(show.out, R"("entry":"job-name","control":"jobNameEditText")"));
  EXPECT_FALSE(has(show.out, R"("held":true)")) << show.out;
}

TEST_F(CliCommand, HeldEntriesComeBackAndDecodeReadsWhatTheFilterGets) {
  Outcome set =
      run("set retention=hold-only pass-code=1234 hold=pass-code account-number=42 "
          "login-name=alice password=s3cret hold=login-name job-name=report --lp");
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_TRUE(has(set.out, "-o vorelia.print.PrintSettings.jobSuspend=2 ")) << set.out;
  EXPECT_TRUE(has(set.out, "-o vorelia.print.PrintSettings.holdButton=3 ")) << set.out;

  // The dialog reopens: the held pass code is back, locked; the login name is masked.
  Outcome show = run("show");
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_TRUE(has(show.out, "1234")) << show.out;
  EXPECT_TRUE(has(show.out, "\u2022\u2022\u2022\u2022\u2022")) << show.out;
  EXPECT_FALSE(has(show.out, "alice")) << show.out;
  EXPECT_FALSE(has(show.out, "s3cret")) << show.out;
  // It ends with the panel's summary for the host.
  EXPECT_TRUE(has(show.out, "\nSummary\n  Retention: Off\n  User Name: ")) << show.out;

  // The `lp` words are the argv[5] a filter sees, less the "-o".
  std::string argv5 = set.out;
  for (std::size_t at; (at = argv5.find("-o ")) != std::string::npos;) argv5.erase(at, 3);
  Outcome decoded = run("decode --pass-code 1234 -", argv5);
  EXPECT_EQ(decoded.status, 0) << decoded.out << decoded.err;
  for (const char* line :
       {"retention: hold-only", "pass-code: 1234  (jobSuspend2Key",
        "account-number: 00042  (accountNumber,", "login-name: alice  (loginName01, run-time key",
        "password: s3cret  (password, run-time key", "job-name: report  (jobName2",
        "held: pass-code login-name", "ok: jobSuspendKey matches the given pass-code 1234"})
    EXPECT_TRUE(has(decoded.out, line)) << line << "\n" << decoded.out;
  EXPECT_FALSE(has(decoded.out, "FAILED")) << decoded.out;

  // A wrong pass code, or a tampered cipher, is a failed check.
  Outcome wrong = run("decode --pass-code 4321 -", argv5);
  EXPECT_EQ(wrong.status, 3);
  EXPECT_TRUE(has(wrong.out, "FAILED: jobSuspendKey matches the given pass-code 4321"));
  std::string tampered = argv5;
  tampered.replace(tampered.find("accountNumber=00042"), 19, "accountNumber=00043");
  Outcome mismatch = run("decode --json", tampered);
  EXPECT_EQ(mismatch.status, 3);
  EXPECT_TRUE(
      has(mismatch.out, R"({"check":"accountNumber agrees with accountNumber2","passed":false})"));
  EXPECT_EQ(run("decode", "job-uuid=x title=y\n").status, 3);
}

TEST_F(CliCommand, FoldersComeFromThePrinterAndCanBeChosenAfterwards) {
  sim::Config config;
  config.folders = {{"Sales"}, {"Board", true}};
  sim::PrinterSimulator printer(config);
  std::string error;
  ASSERT_TRUE(printer.start("127.0.0.1", 0, &error)) << error;

  Outcome none = run("folders");  // the demo printer's own address has no service
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(has(none.err, "Could not retrieve Folder Names.")) << none.err;

  Outcome folders = run("folders --json --address " + printer.address());
  ASSERT_EQ(folders.status, 0) << folders.err;
  EXPECT_EQ(folders.out, "{\"address\":\"" + printer.address() +
                             "\",\"folders\":[\n  {\"name\":\"Sales\",\"protected\":false},"
                             "\n  {\"name\":\"Board\",\"protected\":true}]}\n");
  EXPECT_EQ(printer.requests().size(), 1u);
  EXPECT_TRUE(printer.requests().front().problems.empty());

  // The list is remembered for the printer: the pop-up offers it in the next dialog.
  Outcome chosen =
      run("set retention=hold-only filing=Board folder-pass-code=77 --out " + file("job").string());
  ASSERT_EQ(chosen.status, 0) << chosen.err;
  Outcome decoded = run("decode --folder-pass-code 77 " + file("job").string());
  EXPECT_EQ(decoded.status, 0) << decoded.out;
  EXPECT_TRUE(has(decoded.out, "folder-pass-code: 77  (folderPassword2, stored key)"));
  EXPECT_TRUE(has(decoded.out, "ok: folderPassword matches the given folder-pass-code 77"));
}

TEST_F(CliCommand, BadInputEndsAtOnceWithAMessageNamingTheFileOrEntry) {
  // (A shell command line takes at most 128 KiB; 64 KiB shows the same.)
  const std::string longValue(64 * 1024, 'a');
  fs::create_directory(file("folder"));
  std::ofstream(file("big")) << std::string((1 << 20) + 1, '#');
  const std::tuple<std::string, int, std::string> cases[] = {
      {"set user-name=" + longValue, 2, "user-name: the value is 65536 characters long"},
      {"set job-name=" + longValue, 2, "job-name: the value is 65536 characters long"},
      {"folders --address " + longValue, 2, "65536 characters long"},
      {"--settings /dev/zero set", 1, "/dev/zero: not a regular file"},
      {"--settings " + file("big").string() + " set", 1, "big: larger than 1 MiB"},
      {"decode /dev/zero", 1, "/dev/zero: not a regular file"},
      {"decode " + file("folder").string(), 1, "folder: is a folder, not a file"},
      {"decode " + file("big").string(), 1, "big: larger than 1 MiB"},
  };
  for (const auto& [arguments, status, message] : cases) {
    SCOPED_TRACE(arguments.substr(0, 60));
    Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.status, status) << outcome.err.substr(0, 300);
    EXPECT_TRUE(has(outcome.err, message)) << outcome.err.substr(0, 300);
  }
  Outcome piped = run("decode -", std::string((1 << 20) + 1, 'x'));
  EXPECT_EQ(piped.status, 1);
  EXPECT_TRUE(has(piped.err, "standard input: larger than 1 MiB")) << piped.err;
}

TEST_F(CliCommand, ASaveThatFailsSaysWhatWasNotRememberedAndWhy) {
  // The lock file is a dangling link: the print settings are still printed, valid.
  ASSERT_EQ(run("set").status, 0);
  const fs::path lock = dir_ / "config" / "jobcontrol" / "vorelia.mfp.demo.plist.lock";
  ASSERT_TRUE(fs::exists(lock)) << lock;
  fs::remove(lock);
  fs::create_symlink(dir_ / "nowhere", lock);
  Outcome outcome = run("set user-name=Ann hold=user-name");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(has(outcome.err, "the held entries were not remembered: \"" + lock.string() +
                                   "\" is a symbolic link"))
      << outcome.err;
  EXPECT_TRUE(has(outcome.out, "vorelia.print.PrintSettings.userName")) << outcome.out;
}

}  // namespace
}  // namespace jc
