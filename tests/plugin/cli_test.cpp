// The `jobcontrol` command as a user runs it: exit statuses and messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/test_paths.h"

namespace jc {
namespace {

struct CliRun {
  int status;
  std::string output;  // standard output and standard error together
};

CliRun run(const std::string& arguments) {
  std::string command = std::string(test::kCliPath) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  std::string output;
  std::array<char, 4096> buffer{};
  while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
  int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(Cli, RunsTheDemoPrinterAndReportsBadInputWithItsExitStatus) {
  EXPECT_EQ(run("set").status, 0);
  EXPECT_EQ(run("--help").status, 0);
  CliRun noCommand = run("");
  EXPECT_EQ(noCommand.status, 2);
  EXPECT_NE(noCommand.output.find("no command"), std::string::npos);
  CliRun entry = run("set colour=blue");
  EXPECT_EQ(entry.status, 2);
  EXPECT_NE(entry.output.find("colour=blue"), std::string::npos);
  CliRun half = run("--ppd x.ppd set");
  EXPECT_EQ(half.status, 2);

  CliRun notBundle = run("--bundle /nonexistent/JobControl.plugin set");
  EXPECT_EQ(notBundle.status, 1);
  EXPECT_NE(notBundle.output.find("/nonexistent/JobControl.plugin"), std::string::npos);
  CliRun badPPD = run("--ppd /nonexistent/x.ppd --printer-id q set");
  EXPECT_EQ(badPPD.status, 1);
  EXPECT_NE(badPPD.output.find("/nonexistent/x.ppd"), std::string::npos);
}

TEST(Cli, KeepsForeignKeysOfASettingsFileAndRefusesMalformedOnes) {
  auto file = std::filesystem::temp_directory_path() / ("jc-cli-" + std::to_string(::getpid()));
  std::ofstream(file) << "# an earlier save\ncom.example.other=kept\n";
  CliRun ok = run("--settings " + file.string() + " set");
  EXPECT_EQ(ok.status, 0);
  EXPECT_NE(ok.output.find("com.example.other=kept\n"), std::string::npos);
  std::ofstream(file) << "no equals sign here\n";
  CliRun bad = run("--settings " + file.string() + " set");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("line 1"), std::string::npos);
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace jc
