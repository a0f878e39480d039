// Command-line parsing of `jobcontrol`: one table of options, each with the commands it
// belongs to, so a new option is one more row.
#include "hosts/cli/options.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>

#include "hosts/common/entries.h"
#include "hosts/common/messages.h"

namespace jc::cli {

namespace {

struct CommandRow {
  Command command;
  const char* name;
};
constexpr std::array<CommandRow, 9> kCommands = {{{Command::Show, "show"},
                                                  {Command::Set, "set"},
                                                  {Command::Folders, "folders"},
                                                  {Command::Print, "print"},
                                                  {Command::Printers, "printers"},
                                                  {Command::Decode, "decode"},
                                                  {Command::Desktop, "desktop"},
                                                  {Command::Queue, "queue"},
                                                  {Command::Help, "help"}}};

constexpr std::array<std::pair<DesktopAction, std::string_view>, 3> kDesktopActions = {
    {{DesktopAction::Enable, "enable"},
     {DesktopAction::Disable, "disable"},
     {DesktopAction::Status, "status"}}};

constexpr unsigned bit(Command c) {
  return 1u << static_cast<unsigned>(c);
}
constexpr unsigned kAll = ~0u;
constexpr unsigned kPanel =
    bit(Command::Show) | bit(Command::Set) | bit(Command::Folders) | bit(Command::Print);
constexpr unsigned kPanelNotPrint = bit(Command::Show) | bit(Command::Set) | bit(Command::Folders);
constexpr unsigned kWrites = bit(Command::Set) | bit(Command::Print);

// The prefix of the keys the panel writes: print takes them only through the entries.
constexpr std::string_view kOurKeyPrefix = "vorelia.print.PrintSettings.";

// An entry word: lower-case letters and '-' before the first '='.
bool isEntryWord(const std::string& word) {
  auto eq = word.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  return std::all_of(word.begin(), word.begin() + static_cast<long>(eq),
                     [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

using Apply = std::function<std::optional<std::string>(Options&, const std::string&)>;

// One option: its long name, its short letter (0: none), whether it takes a value (and
// what, for the message when it is missing), the commands it belongs to, and what it does.
struct OptionRow {
  const char* name;
  char letter;
  const char* value;  // nullptr: a flag
  unsigned commands;
  Apply apply;
};

template <class T>
Apply into(std::optional<T> Options::*field) {
  return [field](Options& o, const std::string& v) -> std::optional<std::string> {
    o.*field = v;
    return std::nullopt;
  };
}
Apply flag(bool Options::*field) {
  return [field](Options& o, const std::string&) -> std::optional<std::string> {
    o.*field = true;
    return std::nullopt;
  };
}

std::optional<std::string> addJobOptions(Options& o, const std::string& text) {
  cups_option_t* parsed = nullptr;
  int count = cupsParseOptions(text.c_str(), 0, &parsed);
  std::optional<std::string> problem;
  if (count == 0) problem = subst(tr("-o needs NAME=VALUE, not \"%1\""), {text});
  for (int i = 0; i < count && !problem; ++i) {
    std::string name = parsed[i].name, value = parsed[i].value;
    if (findEntry(name)) {
      std::string word = name;
      word += '=';
      word += value;
      o.entries.push_back(std::move(word));
    } else if (std::string_view(name).substr(0, kOurKeyPrefix.size()) == kOurKeyPrefix) {
      problem = subst(tr("-o %1: this option is written by the panel; give its entry instead "
                         "(see `jobcontrol help print`)"),
                      {name});
    } else {
      o.jobOptions.emplace_back(name, value);
    }
  }
  cupsFreeOptions(count, parsed);
  return problem;
}

std::optional<std::string> setCopies(Options& o, const std::string& text) {
  int n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > 9999)
    return subst(tr("-n takes a number of copies from 1 to 9999, not \"%1\""), {text});
  o.copies = n;
  return std::nullopt;
}

std::optional<std::string> setIppAttributes(Options& o, const std::string& text) {
  o.ippAttributes = parseStandardAttributesMode(text);
  if (!o.ippAttributes)
    return subst(tr("--ipp-attributes takes auto, always or never, not \"%1\""), {text});
  return std::nullopt;
}

const std::vector<OptionRow>& optionTable() {
  static const std::vector<OptionRow> rows = {
      {"help", 'h', nullptr, kAll, flag(&Options::help)},
      {"version", 0, nullptr, kAll, flag(&Options::version)},
      {"bundle", 0, "a path", kAll, into(&Options::bundle)},
      {"printer", 'd', "a queue name", kPanel, into(&Options::printer)},
      {"", 'P', "a queue name", kPanel, into(&Options::printer)},
      {"demo", 0, nullptr, kPanelNotPrint, flag(&Options::demo)},
      {"ppd", 0, "a file", kPanelNotPrint, into(&Options::ppd)},
      {"printer-id", 0, "an ID", kPanelNotPrint, into(&Options::printerId)},
      {"device-uri", 0, "a URI", kPanelNotPrint, into(&Options::deviceURI)},
      {"settings", 0, "a file", kPanel, into(&Options::settings)},
      {"job-name", 0, "a name", kPanel, into(&Options::jobName)},
      {"secrets-file", 0, "a file", kWrites, into(&Options::secretsFile)},
      {"out", 0, "a file", kWrites, into(&Options::out)},
      {"lp", 0, nullptr, bit(Command::Set), flag(&Options::lp)},
      {"json", 0, nullptr,
       kAll & ~bit(Command::Print) & ~bit(Command::Desktop) & ~bit(Command::Queue),
       flag(&Options::json)},
      {"user", 0, nullptr, bit(Command::Desktop), flag(&Options::user)},
      {"address", 0, "HOST[:PORT]", bit(Command::Folders) | bit(Command::Queue),
       into(&Options::address)},
      {"pass-code", 0, "a pass code", bit(Command::Decode), into(&Options::passCode)},
      {"folder-pass-code", 0, "a pass code", bit(Command::Decode), into(&Options::folderPassCode)},
      // As lp takes them.
      {"", 'o', "NAME=VALUE", bit(Command::Print), addJobOptions},
      {"", 'n', "a number of copies", bit(Command::Print), setCopies},
      {"title", 't', "a title", bit(Command::Print), into(&Options::jobName)},
      {"quiet", 'q', nullptr, bit(Command::Print), flag(&Options::quiet)},
      {"ipp-attributes", 0, "auto, always or never", bit(Command::Print), setIppAttributes},
      {"filter", 0, "a program", bit(Command::Queue), into(&Options::filter)},
      {"private", 0, nullptr, bit(Command::Queue), flag(&Options::privateValues)},
  };
  return rows;
}

std::string spelled(const OptionRow& row) {
  return *row.name ? std::string("--") + row.name : std::string("-") + row.letter;
}

std::string didYouMean(std::string_view word, const std::vector<std::string_view>& names) {
  std::string near = nearestName(word, names);
  return near.empty() ? "" : subst(tr(" (did you mean \"%1\"?)"), {near});
}

}  // namespace

bool isPassCode(std::string_view code) {
  return !code.empty() && code.size() <= 5 &&
         std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const char* commandName(Command command) {
  for (const auto& row : kCommands)
    if (row.command == command) return row.name;
  return "";
}

namespace {

std::vector<std::string_view> commandNames() {
  std::vector<std::string_view> names;
  names.reserve(kCommands.size());
  for (const auto& row : kCommands) names.push_back(row.name);
  return names;
}

// The row of the option `arg` spells ("--name", "--name=VALUE", "-x" or "-xVALUE"), and
// the value attached to it, if any.
Result<std::pair<const OptionRow*, std::optional<std::string>>> findOption(const std::string& arg,
                                                                           bool isLong) {
  const OptionRow* match = nullptr;
  std::optional<std::string> attached;
  if (isLong) {
    std::string name = arg.substr(2);
    if (auto eq = name.find('='); eq != std::string::npos) {
      attached = name.substr(eq + 1);
      name.resize(eq);
    }
    for (const auto& row : optionTable())
      if (*row.name && name == row.name) match = &row;
    if (!match) {
      std::vector<std::string_view> names;
      for (const auto& row : optionTable())
        if (*row.name) names.push_back(row.name);
      std::string near = nearestName(name, names);
      return Refusal{subst(tr("unknown option %1"), {"--" + name}) +
                     (near.empty() ? "" : subst(tr(" (did you mean \"%1\"?)"), {"--" + near}))};
    }
    if (attached && !match->value) return Refusal{subst(tr("%1 takes no value"), {"--" + name})};
  } else {
    for (const auto& row : optionTable())
      if (row.letter && row.letter == arg[1]) match = &row;
    if (!match) return Refusal{subst(tr("unknown option %1"), {arg})};
    if (arg.size() > 2) {
      if (!match->value) return Refusal{subst(tr("unknown option %1"), {arg})};
      attached = arg.substr(2);
    }
  }
  return std::pair{match, std::move(attached)};
}

// Applies the option at `args[i]`, taking its value from the next argument (moving `i`
// past it) when none is attached; notes its row in `given`.
Result<> takeOption(const std::vector<std::string>& args, std::size_t& i, bool isLong,
                    Options& options, std::vector<const OptionRow*>& given) {
  auto found = findOption(args[i], isLong);
  if (!found) return found.refusal();
  auto& [match, attached] = *found;
  std::string value;
  if (match->value) {
    if (attached)
      value = *attached;
    else if (i + 1 < args.size())
      value = args[++i];
    else
      return Refusal{subst(tr("%1 needs %2"), {spelled(*match), tr(match->value)})};
  }
  given.push_back(match);
  if (auto problem = match->apply(options, value)) return Refusal{*problem};
  return accepted();
}

// A word that is not an option: the command, help's topic, an entry or a file.
Result<> takeWord(const std::string& arg, Options& options) {
  if (options.command == Command::None) {
    for (const auto& row : kCommands)
      if (arg == row.name) options.command = row.command;
    if (options.command == Command::None)
      return Refusal{subst(tr("unknown command \"%1\""), {arg}) + didYouMean(arg, commandNames())};
  } else if (options.command == Command::Help && options.helpTopic == Command::None) {
    for (const auto& row : kCommands)
      if (arg == row.name) options.helpTopic = row.command;
    if (options.helpTopic == Command::None)
      return Refusal{subst(tr("no help on \"%1\""), {arg}) + didYouMean(arg, commandNames())};
  } else if (options.command == Command::Desktop && options.desktopAction == DesktopAction::None) {
    for (const auto& [action, name] : kDesktopActions)
      if (arg == name) options.desktopAction = action;
    if (options.desktopAction == DesktopAction::None) {
      std::vector<std::string_view> names;
      for (const auto& row : kDesktopActions) names.push_back(row.second);
      return Refusal{subst(tr("desktop takes enable, disable or status, not \"%1\""), {arg}) +
                     didYouMean(arg, names)};
    }
  } else if (isEntryWord(arg) && options.command != Command::Decode &&
             options.command != Command::Desktop) {
    options.entries.push_back(arg);
  } else {
    options.files.push_back(arg);
  }
  return accepted();
}

// `queue`: an action and one queue name; --private only where the PPD is written.
Result<> checkQueueWords(const Options& options) {
  const std::vector<std::string_view> actions = {"enable", "refresh", "disable"};
  const bool known = !options.files.empty() &&
                     std::find(actions.begin(), actions.end(), options.files[0]) != actions.end();
  // A near name only for a mistyped action: a right one lacks just the queue.
  if (options.files.size() != 2 || !known)
    return Refusal{tr("queue takes enable, refresh or disable and a queue name") +
                   (options.files.empty() || known ? "" : didYouMean(options.files[0], actions))};
  if (options.files[0] == "disable" && (options.privateValues || options.filter || options.address))
    return Refusal{tr("queue disable takes no --private, --filter or --address")};
  return accepted();
}

// Whether the options, entries and files given fit the command and each other.
Result<> checkCombination(const Options& options, const std::vector<const OptionRow*>& given) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  const Command c = options.command;
  const std::string name = commandName(c);
  for (const OptionRow* row : given)
    if (!(row->commands & bit(c)))
      return fail(subst(tr("%1 is not an option of %2"), {spelled(*row), name}));
  if (options.lp && options.json) return fail(tr("--lp and --json exclude each other"));
  if (!options.entries.empty() && c != Command::Set && c != Command::Print)
    return fail(subst(tr("%1 takes no entries (\"%2\")"), {name, options.entries.front()}));
  if (c == Command::Print && options.files.empty())
    return fail(tr("print needs a file (\"-\" for standard input)"));
  if (c == Command::Print &&
      std::count(options.files.begin(), options.files.end(), std::string("-")) > 1)
    return fail(tr("standard input (\"-\") can be printed only once"));
  if (c == Command::Decode && options.files.size() > 1) return fail(tr("decode reads one file"));
  if (c == Command::Desktop && options.desktopAction == DesktopAction::None)
    return fail(tr("desktop needs enable, disable or status"));
  if (c == Command::Desktop && !options.files.empty())
    return fail(subst(tr("desktop takes one of enable, disable or status, not also \"%1\""),
                      {options.files.front()}));
  if (c == Command::Queue) return checkQueueWords(options);
  if (c != Command::Print && c != Command::Decode && !options.files.empty()) {
    std::vector<std::string_view> names;
    for (const Entry& e : entryTable()) names.push_back(e.name);
    const std::string& word = options.files.front();
    std::string hint = didYouMean(word, names);
    // A bare word is most often a queue's name: the printer is chosen with -d, which a
    // person who read "show [PRINTER]" cannot guess.
    if (hint.empty() && word.find('=') == std::string::npos)
      hint = subst(tr(" (to name a printer: -d %1)"), {word});
    return fail(subst(tr("unknown entry or word \"%1\""), {word}) + hint);
  }
  for (const auto& [option, code] :
       {std::pair{"--pass-code", options.passCode}, {"--folder-pass-code", options.folderPassCode}})
    if (code && !isPassCode(*code))
      return fail(subst(tr("%1 takes one to five digits, as the panel does"), {option}));
  if (options.ppd.has_value() != options.printerId.has_value())
    return fail(tr("--ppd and --printer-id go together"));
  if (options.deviceURI && !options.ppd)
    return fail(tr("--device-uri needs --ppd and --printer-id"));
  if (int(options.printer.has_value()) + int(options.ppd.has_value()) + int(options.demo) > 1)
    return fail(tr("--printer, --ppd and --demo exclude each other"));
  return accepted();
}

}  // namespace

Result<Options> parseOptions(const std::vector<std::string>& args) {
  Options options;
  std::vector<const OptionRow*> given;
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (filesOnly) {
      options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      filesOnly = true;
      continue;
    }
    const bool isLong = arg.size() > 2 && arg.rfind("--", 0) == 0;
    const bool isShort = !isLong && arg.size() > 1 && arg[0] == '-' && arg[1] != '-';
    Result<> taken =
        isLong || isShort ? takeOption(args, i, isLong, options, given) : takeWord(arg, options);
    if (!taken) return taken.refusal();
  }
  if (options.help) {
    options.helpTopic = options.command == Command::Help ? options.helpTopic : options.command;
    return options;
  }
  if (options.version || options.command == Command::Help) return options;
  if (options.command == Command::None)
    return Refusal{
        tr("no command given (show, set, folders, print, printers, decode, desktop, queue or "
           "help)")};
  if (Result<> fits = checkCombination(options, given); !fits) return fits.refusal();
  return options;
}

}  // namespace jc::cli
