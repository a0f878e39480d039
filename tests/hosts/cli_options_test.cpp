// The command line of `jobcontrol`, its entries table and the reading of job options.
#include <gtest/gtest.h>

#include <set>

#include "hosts/cli/job_options.h"
#include "hosts/cli/options.h"
#include "hosts/common/entries.h"
#include "hosts/common/terminal_text.h"
#include "settings/held_entries.h"

namespace jc::cli {
namespace {

// The options of `args`, or nullopt with the refusal's message in `error`.
std::optional<Options> parse(std::vector<std::string> args, std::string* error = nullptr) {
  Result<Options> options = parseOptions(args);
  if (!options) {
    if (error) *error = options.message();
    return std::nullopt;
  }
  return std::move(*options);
}

TEST(CliOptions, OptionsStandAnywhereAndWordsAfterTheCommandAreEntriesOrFiles) {
  auto o = parse({"--printer", "q", "print", "a=b.pdf", "job-name=x", "--out", "f", "doc.pdf", "--",
                  "--odd.pdf", "pass-code=1"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->command, Command::Print);
  EXPECT_EQ(o->printer, "q");
  EXPECT_EQ(o->out, "f");
  // "a=b.pdf" has the form of an entry word and is taken as one (refused later as an
  // unknown entry); after "--" every word is a file.
  EXPECT_EQ(o->entries, (std::vector<std::string>{"a=b.pdf", "job-name=x"}));
  EXPECT_EQ(o->files, (std::vector<std::string>{"doc.pdf", "--odd.pdf", "pass-code=1"}));

  auto desktop = parse({"--user", "desktop", "disable"});
  ASSERT_TRUE(desktop);
  EXPECT_EQ(desktop->desktopAction, DesktopAction::Disable);
  EXPECT_TRUE(desktop->user);

  auto d = parse({"decode", "--pass-code", "1234", "opts=with-equals"});
  ASSERT_TRUE(d);
  EXPECT_EQ(d->passCode, "1234");
  EXPECT_EQ(d->files, (std::vector<std::string>{"opts=with-equals"}));
  auto help = parse({"set", "--help", "whatever"});
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->help);
  EXPECT_EQ(help->command, Command::Set);
}

TEST(CliOptions, PrintTakesTheOptionsOfLp) {
  auto o = parse({"print", "-d", "q1", "-o", "media=A4 sides=two-sided-long-edge",
                  "-oretention=sample", "-n", "2", "-t", "Report", "-q", "-", "pass-code=1"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->printer, "q1");
  EXPECT_EQ(o->jobOptions, (std::vector<std::pair<std::string, std::string>>{
                               {"media", "A4"}, {"sides", "two-sided-long-edge"}}));
  // -o with an entry's name is that entry, in its place among the others.
  EXPECT_EQ(o->entries, (std::vector<std::string>{"retention=sample", "pass-code=1"}));
  EXPECT_EQ(o->copies, 2);
  EXPECT_EQ(o->jobName, "Report");
  EXPECT_TRUE(o->quiet);
  EXPECT_EQ(o->files, (std::vector<std::string>{"-"}));
  for (auto args : {std::vector<std::string>{"print", "--printer=q2", "f"},
                    std::vector<std::string>{"-Pq2", "print", "f"}}) {
    auto p = parse(args);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->printer, "q2");
  }
  auto help = parse({"help", "print"});
  ASSERT_TRUE(help);
  EXPECT_EQ(help->helpTopic, Command::Print);
  EXPECT_TRUE(parse({"--version"})->version);
}

TEST(CliOptions, NearestNameIsOnlyForSlips) {
  const std::vector<std::string_view> names = {"show", "set", "folders", "print", "printers"};
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {{"shwo", "show"}, {"prnt", "print"},
      {"printer", "printers"}, {"folder", "folders"}, {"xyz", ""}, {"s", ""}, {"decode", ""}};
  // clang-format on
  for (auto [word, nearest] : cases) EXPECT_EQ(nearestName(word, names), nearest) << word;
}

TEST(CliOptions, QueueTakesItsActionTheQueueAndTheAdministratorsOptions) {
  auto o = parse({"queue", "refresh", "office", "--private", "--filter=/x", "--address", "h:1"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->command, Command::Queue);
  EXPECT_EQ(o->files, (std::vector<std::string>{"refresh", "office"}));
  EXPECT_TRUE(o->privateValues);
  EXPECT_EQ(o->filter, "/x");
  EXPECT_EQ(o->address, "h:1");
}

TEST(CliOptions, RefusesOptionsOfOtherCommandsAndIncompletePrinters) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{}, "no command"},
      {{"frobnicate"}, "unknown command"},
      {{"shwo"}, "did you mean \"show\""},
      {{"show", "--jsno"}, "did you mean \"--json\""},
      {{"help", "prnt"}, "did you mean \"print\""},
      {{"print", "-o", "vorelia.print.PrintSettings.jobSuspend=2", "f"}, "give its entry instead"},
      {{"print", "-n", "0", "f"}, "-n takes a number of copies"},
      {{"print", "-n", "2x", "f"}, "-n takes a number of copies"},
      {{"print", "--demo", "f"}, "--demo is not an option of print"},
      {{"print", "-", "-"}, "only once"},
      {{"decode", "--pass-code", "12a4"}, "--pass-code takes one to five digits"},
      {{"decode", "--folder-pass-code=123456"}, "--folder-pass-code takes one to five digits"},
      {{"show", "--json=yes"}, "--json takes no value"},
      {{"set", "retention=off", "stray"}, "\"stray\""},
      {{"show", "--lp"}, "--lp is not an option of show"},
      {{"set", "--address", "h"}, "--address is not an option of set"},
      {{"folders", "--pass-code", "1"}, "--pass-code is not an option of folders"},
      {{"decode", "--printer", "q"}, "--printer is not an option of decode"},
      {{"print", "--ppd", "x", "--printer-id", "q", "f"}, "--ppd is not an option of print"},
      {{"print"}, "print needs a file"},
      {{"show", "retention=off"}, "show takes no entries"},
      {{"set", "--lp", "--json"}, "exclude each other"},
      {{"--ppd", "x", "set"}, "go together"},
      {{"--printer", "q", "--ppd", "x", "--printer-id", "i", "set"}, "exclude each other"},
      {{"--printer", "q", "--demo", "show"}, "exclude each other"},
      {{"set", "--out"}, "--out needs a file"},
      {{"set", "--colour"}, "unknown option --colour"},
      {{"decode", "a", "b"}, "one file"},
      {{"desktop"}, "desktop needs enable, disable or status"},
      {{"desktop", "enabel"}, "did you mean \"enable\""},
      {{"desktop", "enable", "now"}, "not also \"now\""},
      {{"desktop", "status", "--json"}, "--json is not an option of desktop"},
      {{"show", "--user"}, "--user is not an option of show"},
      {{"show", "office"}, "unknown entry or word \"office\" (to name a printer: -d office)"},
      {{"queue", "enable"}, "queue takes enable, refresh or disable and a queue name"},
      {{"queue", "enabel", "q"}, "did you mean \"enable\""},
      {{"queue", "disable", "q", "--private"}, "takes no --private"},
      {{"queue", "enable", "q", "--json"}, "--json is not an option of queue"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(parse(c.args, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  // A right action without its queue is not taken for a slip.
  std::string error;
  EXPECT_FALSE(parse({"queue", "refresh"}, &error));
  EXPECT_EQ(error, "queue takes enable, refresh or disable and a queue name");
}

TEST(CliEntries, WordsAreCheckedAgainstTheTableBeforeAnyEvent) {
  auto text = parseAssignment("pass-code=12=34");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->entry->control, "suspendKeyEditText");
  EXPECT_EQ(text->value, "12=34");
  for (auto [word, locks] : {std::pair{"unhold=folder-name", false},
                             {"unlock=folder-name", false},
                             {"lock=folder-name", true},
                             {"hold=folder-name", true}}) {
    auto hold = parseAssignment(word);
    ASSERT_TRUE(hold) << word;
    EXPECT_EQ(hold->held->holdButton, "folderNameButton");
    EXPECT_EQ(hold->locks(), locks) << word;
  }
  auto folder = parseAssignment("filing=Sales Team");
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->value, "Sales Team");

  // The message names the word and, for a near miss, the nearest name.
  for (auto [word, message] :
       {std::pair{"colour=blue", "unknown entry \"colour\""},
        std::pair{"retension=off", "unknown entry \"retension\" (did you mean \"retention=\"?)"},
        std::pair{"retention=on", "one of off|hold-only|hold-after|sample"},
        std::pair{"retention=hold-onyl", "did you mean \"retention=hold-only\""},
        std::pair{"auth=", "one of login|number"},
        std::pair{"lock=address", "no padlock for \"address\""},
        std::pair{"unlock=pasword", "did you mean \"unlock=password\""},
        std::pair{"filing=", "a folder name"}, std::pair{"folders=1", "jobcontrol folders"}}) {
    std::string error = parseAssignment(word).message();
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  // Every held entry is an entry with its own hold button, and no other entry has one.
  std::set<std::string_view> buttons;
  for (const Entry& entry : entryTable())
    if (!entry.holdButton.empty()) buttons.insert(entry.holdButton);
  EXPECT_EQ(buttons.size(), settings::kHeldEntryData.size());
  for (const settings::HeldEntryData& row : settings::kHeldEntryData) {
    const Entry* entry = findEntry(row.name);
    ASSERT_NE(entry, nullptr) << row.name;
    EXPECT_EQ(entry->holdButton, row.holdButtonOutlet) << row.name;
  }
}

TEST(JobOptions, ReadsAFiltersArgumentAndKeyValueLines) {
  // A filter's argv[5]: CUPS option syntax, quoting included, one line.
  auto argv5 = parseJobOptions(
      "job-uuid=urn:uuid:1 vorelia.print.PrintSettings.loginName11=s8nl/o6aRj05vJCjBlCtqw== "
      "title='a b' vorelia.print.PrintSettings.jobSuspend=2\n");
  EXPECT_EQ(argv5["vorelia.print.PrintSettings.loginName11"], "s8nl/o6aRj05vJCjBlCtqw==");
  EXPECT_EQ(argv5["vorelia.print.PrintSettings.jobSuspend"], "2");
  EXPECT_EQ(argv5["title"], "a b");

  // Lines as `set` writes them: values may hold spaces; comments and blank lines skipped.
  auto lines = parseJobOptions("# saved\r\ncom.example.x=a b\n\nk=v=w\nno equals\nk2=\n");
  EXPECT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines["com.example.x"], "a b");
  EXPECT_EQ(lines["k"], "v=w");
  EXPECT_EQ(lines["k2"], "");
  EXPECT_TRUE(parseJobOptions("\n  \n").empty());
}

TEST(TerminalText, ControlsAreShownEscapedAndOtherTextUnchanged) {
  const std::pair<std::string, std::string> cases[] = {
      {"Caf\u00E9 \u55B6\u696D A\\B", "Caf\u00E9 \u55B6\u696D A\\B"},  // backslash kept single
      {"\t\n\r\x1B\x01\x7F", "\\t\\n\\r\\e\\x01\\x7F"},
      {"\u0085\u2028\u202Eabc\u2066", "\\u{0085}\\u{2028}\\u{202E}abc\\u{2066}"},
      {"bad\xFF\xC3", "bad\uFFFD\uFFFD"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(terminalText(text), shown) << shown;
}

}  // namespace
}  // namespace jc::cli
