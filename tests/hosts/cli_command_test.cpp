// `jobcontrol` run as a user runs it: entries as user events, refusals that save nothing,
// held entries remembered, the folder list from the printer simulator, and decode.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "printer_simulator.h"
#include "support/scratch.h"
#include "support/test_paths.h"

namespace jc {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The run ended with `status` and its standard error names every one of `parts`.
void expectEnded(const Outcome& o, int status, std::initializer_list<std::string> parts) {
  EXPECT_EQ(o.status, status) << o.err.substr(0, 300);
  for (const std::string& part : parts) EXPECT_TRUE(has(o.err, part)) << part << "\n" << o.err;
}

class CliCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test::scratchPath("jc-cli-");
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program with this test's own configuration and temporary folders, no printer
  // from the environment and no CUPS server, unless `environment` sets them. A command that
  // hangs ends with status 124 instead of stopping the suite.
  Outcome run(const std::string& arguments, const std::string& input = "",
              const std::string& environment = "", const std::string& bundle = test::kBundleDir) {
    std::ofstream(file("stdin")) << input;
    std::string command =
        "env -u PRINTER -u LPDEST HOME=" + dir_.string() + " TMPDIR=" + dir_.string() +
        " CUPS_SERVER=127.0.0.1:1 XDG_CONFIG_HOME=" + file("config").string() + " " + environment +
        " timeout 20 " + test::kCliPath + " --bundle " + bundle + " " + arguments + " <" +
        file("stdin").string() + " 2>" + file("stderr").string();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, "", ""};
    std::string out;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
      out.append(buffer.data(), n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out,
            test::contents(file("stderr")).value_or("")};
  }
  fs::path file(const std::string& name) const { return dir_ / name; }
  // The `lp` words of `set --lp` are the argv[5] a filter sees, less the "-o".
  static std::string argv5Of(std::string words) {
    for (std::size_t at; (at = words.find("-o ")) != std::string::npos;) words.erase(at, 3);
    return words;
  }
  // Starts a printer simulator on the loopback offering `folders`.
  bool serve(std::vector<sim::Folder> folders) {
    sim::Config config;
    config.folders = std::move(folders);
    printer_.emplace(config);
    std::string error;
    return printer_->start("127.0.0.1", 0, &error) || (ADD_FAILURE() << error, false);
  }

  fs::path dir_;
  std::optional<sim::PrinterSimulator> printer_;
};

TEST_F(CliCommand, BadInputEndsAtOnceWithAMessageNamingTheFileEntryOrQueue) {
  expectEnded(run("set", "", "", "/nonexistent/JobControl.plugin"), 1,
              {"/nonexistent/JobControl.plugin"});
  // (A shell command line takes at most 128 KiB; 64 KiB shows the same.)
  const std::string longValue(64 * 1024, 'a');
  fs::create_directory(file("folder"));
  std::ofstream(file("big")) << std::string((1 << 20) + 1, '#');
  std::ofstream(file("bad")) << "no equals sign here\n";
  const std::string big = file("big").string();
  std::ofstream(file("doc.pdf")) << "%PDF-1.4\n";
  // clang-format off
  const std::tuple<std::string, std::string, int, std::string> cases[] = {
      {"--ppd /nonexistent/x.ppd --printer-id q set", "", 1, "/nonexistent/x.ppd"},
      {"--settings /nonexistent/saved set", "", 1, "No such file or directory"},
      {"--settings " + file("bad").string() + " set", "", 1, "line 1"},
      {"folders --address " + longValue, "", 2, "the address is 65536 characters long"},
      {"--settings /dev/zero set", "", 1, "/dev/zero: not a regular file"},
      {"--settings " + big + " set", "", 1, "big: larger than 1 MiB"},
      {"decode /dev/zero", "", 1, "/dev/zero: not a regular file"},
      {"decode " + file("folder").string(), "", 1, "folder: is a folder, not a file"},
      {"decode " + big, "", 1, "big: larger than 1 MiB"},
      {"--demo set auth=login password=-", "", 2, "password=-: no value given"},
      // A queue named by the environment but unknown is an error, not the demo printer;
      // print never goes to the demo printer; the demo printer has no folder service.
      {"set retention=hold-only", "PRINTER=lab", 1,
       "$PRINTER names the queue \"lab\": CUPS does not answer at 127.0.0.1"},
      {"printers", "", 1, "cannot list the CUPS queues: CUPS does not answer at 127.0.0.1"},
      {"show -d office", "", 1, "CUPS does not answer at 127.0.0.1; is the scheduler"},
      {"set retention=hold-only", "LPDEST=lab", 1, "$LPDEST names the queue \"lab\""},
      {"print " + file("doc.pdf").string(), "", 2, "give -d QUEUE"},
      {"folders", "", 1, "Could not retrieve Folder Names."},
  };
  // clang-format on
  for (const auto& [arguments, environment, status, message] : cases) {
    SCOPED_TRACE(arguments.substr(0, 60) + " " + environment);
    expectEnded(run(arguments, "", environment), status, {message});
  }
  expectEnded(run("decode -", std::string((1 << 20) + 1, 'x')), 1,
              {"standard input: larger than 1 MiB"});
  // Keys of others in saved settings are kept.
  std::ofstream(file("saved")) << "# an earlier save\ncom.example.other=kept\n";
  Outcome kept = run("--settings " + file("saved").string() + " set");
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_TRUE(has(kept.out, "com.example.other=kept\n")) << kept.out;
}

TEST_F(CliCommand, RefusedEntriesSayWhatToDoNeverShowASecretAndSaveNothing) {
  // clang-format off
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"pass-code=1234", "pass-code=(hidden)", "retention=hold-only"},
      {"retention=hold-only filing-kind=quick pass-code=1", "pass-code=(hidden)", "filing=main"},
      {"retention=hold-only pass-code=123456", "character 6 refused", "at most 5 characters"},
      {"retention=sample account-number=4x", "account-number=4x", "digits only"},
      {"user-number=12", "user-number=12", "choose auth=number first"},
      {"auth=number password=pw", "password=(hidden)", "choose auth=login first"},
      {"lock=folder-name", "lock=folder-name", "retention=hold-only"},
      {"retention=hold-only folder-name=x", "folder-name=x", "filing-kind=custom"},
      {"retention=hold-only filing=Nowhere", "filing=Nowhere", "jobcontrol folders"},
      {"login-name=al lock=login-name login-name=bo", "login-name=bo", "unlock=login-name"},
      {"lock=pass-code retention=sideways", "retention=sideways", "one of"},
  };
  // clang-format on
  for (const auto& [entries, word, reason] : cases) {
    Outcome r = run("set hold=job-name " + entries + " --out " + file("out").string());
    expectEnded(r, 2, {word, reason});
    EXPECT_FALSE(has(r.err, "123456") || has(r.err, "=pw")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(file("out"))) << entries;
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

  // The dialog reopens: the held pass code is back, the login name masked, then the summary.
  Outcome show = run("show");
  ASSERT_EQ(show.status, 0) << show.err;
  for (const char* part :
       {"1234", "\u2022\u2022\u2022\u2022\u2022", "\nSummary\n  Retention: Off\n  User Name: "})
    EXPECT_TRUE(has(show.out, part)) << part << "\n" << show.out;
  EXPECT_FALSE(has(show.out, "alice") || has(show.out, "s3cret")) << show.out;

  std::string argv5 = argv5Of(set.out);
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

// A value far longer than any entry keeps goes in as one paste through the field's filter,
// in linear time, and the writer keeps what it always keeps of it.
TEST_F(CliCommand, ALongValueIsPastedAndCutWhereTheWriterCutsIt) {
  Outcome set = run("set auth=login login-name=" + std::string(1200, 'b') +
                    " user-name=" + std::string(64 * 1024, 'u') + " --lp");
  ASSERT_EQ(set.status, 0) << set.err.substr(0, 300);
  Outcome decoded = run("decode -", argv5Of(set.out));
  EXPECT_TRUE(has(decoded.out, "login-name: " + std::string(255, 'b') + "  (loginName01"))
      << decoded.out.substr(0, 600);
  expectEnded(run("set auth=login password=" + std::string(2000, 'p')), 2,
              {"password=(hidden): the value (2000 characters, pasted) was refused"});
}

TEST_F(CliCommand, FoldersComeFromThePrinterAndFailuresKeepTheEarlierList) {
  ASSERT_TRUE(serve({{"Sales"}, {"Board", true}}));
  const std::string address = printer_->address();
  Outcome folders = run("folders --json --address " + address);
  ASSERT_EQ(folders.status, 0) << folders.err;
  EXPECT_EQ(folders.out, "{\"address\":\"" + address +
                             "\",\"folders\":[\n  {\"name\":\"Sales\",\"protected\":false},"
                             "\n  {\"name\":\"Board\",\"protected\":true}]}\n");
  ASSERT_EQ(printer_->requests().size(), 1u);
  EXPECT_TRUE(printer_->requests().front().problems.empty());

  // The list is remembered for the printer: the pop-up offers it in the next dialog.
  Outcome chosen =
      run("set retention=hold-only filing=Board folder-pass-code=77 --out " + file("job").string());
  ASSERT_EQ(chosen.status, 0) << chosen.err;
  Outcome decoded = run("decode --folder-pass-code 77 " + file("job").string());
  EXPECT_EQ(decoded.status, 0) << decoded.out;
  EXPECT_TRUE(has(decoded.out, "folder-pass-code: 77  (folderPassword2, stored key)"));
  EXPECT_TRUE(has(decoded.out, "ok: folderPassword matches the given folder-pass-code 77"));

  sim::Config config;
  config.folders = {{"Sales"}, {"Board", true}};
  const std::tuple<std::string, sim::Fault, std::string> cases[] = {
      {"127.0.0.1:99999", sim::Fault::None, "not a valid printer address"},
      {"127.0.0.1:1", sim::Fault::None, "Couldn't connect"},
      {address, sim::Fault::MalformedXml, "answer is not XML"},
      {address, sim::Fault::ErrorStatus, "HTTP status 500"},
  };
  for (const auto& [at, fault, reason] : cases) {
    config.fault = fault;
    printer_->setConfig(config);
    expectEnded(run("--demo folders --address " + at), 1,
                {"jobcontrol: " + at + ": ", reason, "earlier answer"});
  }
  // The list of the last good answer is still what the panel shows, and what is printed.
  Outcome refused = run("--demo folders --address 127.0.0.1:1");
  EXPECT_EQ(refused.out, "Sales\nBoard\t(protected)\n");
  EXPECT_TRUE(has(refused.err, "still shows the list of an earlier answer")) << refused.err;
  EXPECT_EQ(run("--demo folders").status, 1);

  // More folders than are kept: this answer's first ones, with the counts, and status 1.
  config.fault = sim::Fault::None;
  config.folders.assign(10002, {"F"});
  printer_->setConfig(config);
  Outcome cut = run("--demo folders --address " + address);
  expectEnded(cut, 1, {"(10000 kept, 2 left out)"});
  EXPECT_FALSE(has(cut.err, "earlier answer") || has(cut.err, "could not read")) << cut.err;
}

TEST_F(CliCommand, WithNoPrinterAnywhereTheDemoPrinterIsSaidOnce) {
  // No printer anywhere: the demo printer, said once on standard error.
  Outcome fallback = run("show");
  EXPECT_EQ(fallback.status, 0);
  EXPECT_TRUE(has(fallback.err, "using the built-in demo printer")) << fallback.err;
  EXPECT_TRUE(has(fallback.out, "— demo (socket://127.0.0.1:9100)")) << fallback.out;
  EXPECT_EQ(run("--demo show").err, "");
}

TEST_F(CliCommand, SecretsComeFromStandardInputOrAPrivateFileAndFilingIsTold) {
  Outcome piped =
      run("--demo set auth=login login-name=al password=- --out " + file("a").string(), "s3cret\n");
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(has(run("decode " + file("a").string()).out, "password: s3cret  (password2"));
  std::ofstream(file("secrets")) << "# mine\npass-code=4321\npassword=from file\n";
  const std::string secrets = " --secrets-file " + file("secrets").string();
  fs::permissions(file("secrets"), fs::perms::owner_read | fs::perms::group_read);
  expectEnded(run("--demo set" + secrets + " retention=hold-only pass-code=-"), 2, {"chmod 600"});
  fs::permissions(file("secrets"), fs::perms::owner_read);
  Outcome fromFile = run("--demo set" + secrets + " retention=hold-only filing=main pass-code=- " +
                         "--out " + file("b").string());
  ASSERT_EQ(fromFile.status, 0) << fromFile.err;
  // The printer reports no storage, so the job is not filed, and the user hears of it.
  EXPECT_TRUE(has(fromFile.err, "no storage for document filing")) << fromFile.err;
  EXPECT_EQ(run("decode --pass-code 4321 " + file("b").string()).status, 0);
}

TEST_F(CliCommand, MessagesHelpAndDecodeFollowTheLanguage) {
  // What both languages show, and English words the translation leaves none of.
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"de", "--demo set pass-code=1", "retention=hold-only", "turn it on first"},
      {"de", "help print", "request id", "Usage:"},
      {"ja", "--demo set user-number=5", "auth=number", "choose"},
      {"de", "help queue", "JobPrivateValues", "For administrators"},
      {"ja", "queue refresh", "refresh", "queue takes"},
      {"de", "queue disable lab", "lab: ", "no PPD from CUPS"},
  };
  for (const auto& [language, arguments, expected, english] : cases) {
    Outcome plain = run(arguments);
    Outcome translated = run(arguments, "", "LANGUAGE=" + language);
    EXPECT_TRUE(has(plain.out + plain.err, expected) && has(plain.out + plain.err, english))
        << plain.out << plain.err;
    EXPECT_TRUE(has(translated.out + translated.err, expected)) << translated.err;
    EXPECT_FALSE(has(translated.out + translated.err, english)) << translated.out << translated.err;
  }
  EXPECT_EQ(run("--version").out.rfind("jobcontrol ", 0), 0u);
}

TEST_F(CliCommand, WhatAPrinterOrAFileSendsCannotReachTheTerminalRaw) {
  // A title sequence, forged lines and marker, a stray byte, a C1 CSI.
  ASSERT_TRUE(serve({{"\x1B]0;pwned\x07"
                      "Evil"},
                     {"Two\nLines\t(protected)"},
                     {"Bad\xFF"},
                     {"\xC2\x9B"
                      "2J"}}));
  Outcome plain = run("folders --address " + printer_->address());
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "\uFFFD]0;pwned\uFFFD"
            "Evil\nTwo\\nLines\\t(protected)\nBad\uFFFD\n\\u{009B}2J\n");
  Outcome json = run("folders --json --address " + printer_->address());
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_TRUE(has(json.out, R"j({"name":"Two\nLines\t(protected)","protected":false},)j"))
      << json.out;
  EXPECT_TRUE(has(json.out, "{\"name\":\"Bad\uFFFD\",")) << json.out;

  // Job options from a file: a user name whose bytes are a title sequence and a bell.
  std::ofstream(file("job")) << "vorelia.print.PrintSettings.userName=1B5D303B78079B\n";
  for (const char* command : {"show --settings ", "decode "}) {
    Outcome shown = run(command + file("job").string());
    EXPECT_TRUE(has(shown.out, "\\e]0;x\\x07")) << command << shown.out;
    EXPECT_EQ(shown.out.find_first_of("\x07\x1B"), std::string::npos) << command;
  }
}

TEST_F(CliCommand, ASaveThatFailsSaysWhatWasNotRememberedAndWhy) {
  // The lock file is a dangling link: the print settings are still printed, valid.
  ASSERT_EQ(run("set").status, 0);
  const fs::path lock = file("config") / "jobcontrol" / "vorelia.mfp.demo.plist.lock";
  ASSERT_TRUE(fs::exists(lock)) << lock;
  fs::remove(lock);
  fs::create_symlink(file("nowhere"), lock);
  Outcome outcome = run("set user-name=Ann hold=user-name");
  expectEnded(
      outcome, 1,
      {"the held entries were not remembered: \"" + lock.string() + "\" is a symbolic link"});
  EXPECT_TRUE(has(outcome.out, "vorelia.print.PrintSettings.userName")) << outcome.out;
}

// The text of `path`, or "(none)" when there is no such file.
std::string textOf(const fs::path& path) {
  return test::contents(path).value_or("(none)");
}

TEST_F(CliCommand, DesktopSwitchGoesOnAndOffKeepingEveryOtherSetting) {
  const fs::path root = file("root"), ini = root / "etc/gtk-3.0/settings.ini";
  const fs::path gnome =
      root / "usr/lib/gnome-settings-daemon-3.0/gtk-modules/jobcontrol-gtk3-module.desktop";
  const fs::path env = root / "etc/environment.d/90jobcontrol-gtk3-module.conf";
  const fs::path userIni = file("config") / "gtk-3.0/settings.ini";
  const fs::path userEnv = file("config") / "environment.d/90jobcontrol-gtk3-module.conf";
  const std::string original = "[Settings]\ngtk-theme-name=Adwaita\ngtk-modules=gail:atk-bridge\n";
  fs::create_directories(ini.parent_path());
  std::ofstream(ini) << original;
  fs::create_directories(file("gtk/modules"));
  std::ofstream(file("gtk/modules/libjobcontrol-gtk3-module.so")) << "";
  const std::string noModule =
      "JOBCONTROL_DESKTOP_ROOT=" + root.string() + " GSETTINGS_BACKEND=keyfile";
  const std::string environment = noModule + " GTK_PATH=" + file("gtk").string();

  expectEnded(run("desktop enable", "", noModule), 1, {"not installed"});
  // Each step, what it says, and the files after it: system settings.ini, the GNOME file,
  // the environment entry, the user's settings.ini and environment entry.
  struct Step {
    std::string args, says, ini, gnome, env, userIni, userEnv;
  };
  const std::string on = "gail:atk-bridge:jobcontrol-gtk3-module";
  const Step steps[] = {
      {"desktop enable", "wrote", "gtk-modules=" + on, "X-GTK-Module-Name=jobcontrol-gtk3-module",
       "}jobcontrol-gtk3-module", "(none)", "(none)"},
      {"desktop enable", "already on", "gtk-modules=" + on, "[GTK Module]",
       "GTK_MODULES=", "(none)", "(none)"},
      // One user opts out of what every user has: the system's other module stays for them.
      // The user's files go again once what is left in them is what every user has.
      {"desktop disable --user", "wrote", "gtk-modules=" + on, "[GTK Module]",
       "GTK_MODULES=", "gtk-modules=gail:atk-bridge\n", "# jobcontrol desktop disable --user"},
      {"desktop enable --user", "wrote", "gtk-modules=" + on, "[GTK Module]",
       "GTK_MODULES=", "gtk-modules=" + on, "}jobcontrol-gtk3-module"},
      {"desktop disable", "removed", original, "(none)", "(none)", "gtk-modules=" + on,
       "}jobcontrol-gtk3-module"},
      {"desktop disable --user", "removed", original, "(none)", "(none)", "(none)", "(none)"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.args);
    Outcome outcome = run(step.args, "", environment);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(has(outcome.out + outcome.err, step.says)) << outcome.out;
    for (const auto& [path, part] : {std::pair{ini, step.ini},
                                     {gnome, step.gnome},
                                     {env, step.env},
                                     {userIni, step.userIni},
                                     {userEnv, step.userEnv}})
      EXPECT_TRUE(has(textOf(path), part)) << path << ": " << textOf(path);
    Outcome status = run("desktop status", "", environment);
    EXPECT_EQ(status.status, 0) << status.err;
    // The user's GNOME lists (gsettings, kept in a key file here) follow the user's switch.
    const char* gnomeForUser = has(step.userEnv, "# jobcontrol")  ? "off"
                               : has(step.userEnv, "}jobcontrol") ? "on"
                                                                  : "as for every user";
    EXPECT_TRUE(has(status.out, std::string("For this user:\n  GNOME: ") + gnomeForUser))
        << status.out;
    EXPECT_TRUE(has(status.out, std::string("GTK 3 settings: ") +
                                    (has(step.ini, on) ? "on" : "off") + " (" + ini.string()))
        << status.out;
  }
  EXPECT_EQ(textOf(ini), original);
  // Every user's applications read what the switch writes.
  run("desktop enable", "", environment);
  for (const fs::path& path : {ini, gnome, env})
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read)
        << path;

  // A settings.ini GTK would not read stops the switch before anything is written.
  std::ofstream(userIni) << "[Settings]\nnot a setting\n";
  fs::remove(userEnv);
  expectEnded(run("desktop enable --user", "", environment), 1,
              {userIni.string() + ": line 2", "nothing was changed"});
  EXPECT_FALSE(fs::exists(userEnv));
  // Every user's switch is root's; a file that cannot be written is named.
  if (::geteuid() == 0)
    expectEnded(run("desktop disable", "", "setpriv --reuid=65534 --regid=65534 --clear-groups"), 1,
                {"needs root"});
  fs::remove(gnome);
  fs::create_directory(gnome);
  std::ofstream(gnome / "occupied") << "";
  expectEnded(run("desktop disable", "", environment), 1, {gnome.string()});
}

}  // namespace
}  // namespace jc
