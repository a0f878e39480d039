// `jobcontrol` at a terminal: a secret asked for without echo, and a spinner that fits a
// narrow window. The program runs on a pseudo-terminal of a set width.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "printer_simulator.h"
#include "support/test_paths.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

// A run of the program on a terminal `columns` wide: everything it wrote there, and how
// it ended. `answer` is typed once the terminal shows `prompt`.
struct TerminalRun {
  std::string screen;
  int status = -1;
};

TerminalRun runOnTerminal(const std::vector<std::string>& args, unsigned short columns,
                          const std::string& prompt = "", const std::string& answer = "") {
  winsize size{};
  size.ws_col = columns;
  size.ws_row = 24;
  int master = -1;
  pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
  if (child == 0) {
    std::vector<std::string> words = args;
    words.insert(words.begin(), test::kCliPath);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  TerminalRun run;
  if (child < 0) return run;
  bool answered = prompt.empty();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  char buffer[4096];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{master, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) break;  // the program has ended and closed the terminal
    run.screen.append(buffer, static_cast<std::size_t>(n));
    if (!answered && run.screen.find(prompt) != std::string::npos) {
      answered = true;
      (void)!::write(master, answer.data(), answer.size());
    }
  }
  ::close(master);
  int status = 0;
  ::waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class CliTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("jc-terminal-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    ::setenv("JOBCONTROL_BUNDLE", test::kBundleDir, 1);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(CliTerminal, ASecretIsAskedForWithoutEcho) {
  const std::string out = (dir_ / "job").string();
  TerminalRun run = runOnTerminal({"--demo", "set", "auth=login", "password=-", "--out", out}, 80,
                                  "(not shown): ", "s3cret\n");
  EXPECT_EQ(run.status, 0) << run.screen;
  EXPECT_NE(run.screen.find("password (not shown): "), std::string::npos) << run.screen;
  EXPECT_EQ(run.screen.find("s3cret"), std::string::npos) << run.screen;
  std::ifstream in(out);
  EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).find("PrintSettings.password2="),
            std::string::npos);
}

TEST_F(CliTerminal, TheSpinnerFitsANarrowTerminal) {
  sim::Config config;
  config.folders = {{"Sales"}};
  config.fault = sim::Fault::Delay;
  config.delay = std::chrono::milliseconds(600);
  sim::PrinterSimulator printer(config);
  std::string error;
  ASSERT_TRUE(printer.start("127.0.0.1", 0, &error)) << error;
  constexpr unsigned short kColumns = 20;
  TerminalRun run = runOnTerminal({"--demo", "folders", "--address", printer.address()}, kColumns);
  EXPECT_EQ(run.status, 0) << run.screen;
  EXPECT_NE(run.screen.find("| Asking"), std::string::npos) << run.screen;
  // Every piece the terminal shows between returns fits the width, so nothing wraps.
  std::size_t start = 0;
  while (start <= run.screen.size()) {
    std::size_t end = run.screen.find_first_of("\r\n", start);
    if (end == std::string::npos) end = run.screen.size();
    std::string piece = run.screen.substr(start, end - start);
    std::size_t columns = 0;
    for (unsigned char c : piece) columns += (c & 0xC0) != 0x80;  // one per character here
    EXPECT_LE(columns, kColumns) << "\"" << piece << "\"";
    start = end + 1;
  }
}

}  // namespace
}  // namespace jc
