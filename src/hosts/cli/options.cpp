// Command-line parsing and the usage texts of `jobcontrol`.
#include "hosts/cli/options.h"

#include <algorithm>
#include <array>

namespace jc::cli {

namespace {

struct CommandRow {
  Command command;
  const char* name;
};
constexpr std::array<CommandRow, 5> kCommands = {{{Command::Show, "show"},
                                                  {Command::Set, "set"},
                                                  {Command::Folders, "folders"},
                                                  {Command::Print, "print"},
                                                  {Command::Decode, "decode"}}};

// An entry word: lower-case letters and '-' before the first '='.
bool isEntryWord(const std::string& word) {
  auto eq = word.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  return std::all_of(word.begin(), word.begin() + static_cast<long>(eq),
                     [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

constexpr const char* kPrinterHelp =
    "Printer (every command but decode):\n"
    "  --printer QUEUE                                 a CUPS queue: its PPD, device URI\n"
    "                                                  and name (the printer ID)\n"
    "  --ppd FILE --printer-id ID [--device-uri URI]   a PPD file and a printer ID\n"
    "  (neither: the built-in demo printer \"demo\", device socket://127.0.0.1:9100)\n"
    "  --settings FILE   restore from key=value lines of an earlier save first\n"
    "  --job-name NAME   the job's own name (default \"Untitled\"; print: the first file)\n"
    "  --bundle PATH     the plug-in bundle (default: the installed JobControl.plugin)\n";

constexpr const char* kExitHelp =
    "Exit status: 0 success; 1 the panel, printer, a file, CUPS or the printer's folder\n"
    "service failed; 2 bad usage or a refused entry (nothing saved or remembered);\n"
    "3 decode found a check that failed.\n";

}  // namespace

const char* commandName(Command command) {
  for (const auto& row : kCommands)
    if (row.command == command) return row.name;
  return "";
}

std::string usageText(Command command) {
  std::string text;
  switch (command) {
    case Command::None:
      text =
          "Usage: jobcontrol [PRINTER] COMMAND [OPTIONS] [ENTRY=VALUE ...] [FILE ...]\n"
          "\n"
          "Opens the Job Control panel for a printer the way a print dialog does and drives\n"
          "it with the user's entries: typing passes the input filters, clicks run the\n"
          "control actions.\n"
          "\n"
          "Commands:\n"
          "  show      the panel as a user sees it, and its summary\n"
          "  set       apply entries, save, and print the print settings\n"
          "  folders   ask the printer for its filing folders\n"
          "  print     apply entries and submit files to a CUPS queue\n"
          "  decode    the printer side's view of a job's options\n"
          "\n"
          "`jobcontrol COMMAND --help` describes each command and its entries.\n\n";
      text += kPrinterHelp;
      break;
    case Command::Show:
      text =
          "Usage: jobcontrol [PRINTER] show [--json]\n"
          "\n"
          "Opens and restores the panel, then lists it by section: each control's caption,\n"
          "its value, whether it is enabled or dimmed, the hold state of the entries that\n"
          "have a hold button, and the entry name `set` takes for it; then the summary a\n"
          "print dialog's summary view shows. Nothing is saved or remembered.\n\n";
      text += kPrinterHelp;
      break;
    case Command::Set:
    case Command::Print:
      if (command == Command::Set)
        text =
            "Usage: jobcontrol [PRINTER] set [ENTRY=VALUE ...] [--out FILE] [--lp] [--json]\n"
            "\n"
            "Applies the entries in the order given as a person would, then saves and\n"
            "confirms printing (held entries are remembered for the printer), and writes the\n"
            "print settings as key=value lines (--lp: `-o key=value` words for lp; --json: an\n"
            "object) to standard output or to --out FILE.\n\n";
      else
        text =
            "Usage: jobcontrol print FILE... [--printer QUEUE] [ENTRY=VALUE ...] [--out FILE]\n"
            "\n"
            "As set, then submits the files to the CUPS queue (--printer, else the default\n"
            "destination) as one job with the print settings as job options, and prints the\n"
            "job ID. --out FILE also keeps the print settings as key=value lines.\n\n";
      text +=
          "Entries (a refused character, a dimmed or absent control, or an unknown entry is\n"
          "an error naming the entry):\n"
          "  retention=off|hold-only|hold-after|sample   the Retention box and hold mode\n"
          "  filing=quick|main|FOLDER       the Stored To pop-up (FOLDER from `folders`)\n"
          "  filing-kind=quick|main|custom  the filing radio buttons\n"
          "  auth=login|number              login name and password, or user number\n"
          "  pass-code=  folder-name=  folder-pass-code=  login-name=  password=\n"
          "  user-number=  account-number=  user-name=  job-name=  address=\n"
          "                                 replace the field's text, typed key by key\n"
          "  hold=ENTRY  unhold=ENTRY       a hold button: pass-code, login-name, password,\n"
          "                                 user-number, account-number, user-name, job-name,\n"
          "                                 folder-pass-code, folder-name\n\n";
      text += kPrinterHelp;
      break;
    case Command::Folders:
      text =
          "Usage: jobcontrol [PRINTER] folders [--address HOST[:PORT]] [--json]\n"
          "\n"
          "Presses the panel's Get Folder Names button, with the printer address typed in\n"
          "first when given, and prints the printer's folders (a padlock marks a protected\n"
          "one). The list is remembered for the printer, so `set filing=FOLDER` can choose\n"
          "it. A spinner shows on a terminal while the printer is asked; a failure prints\n"
          "the panel's alert.\n\n";
      text += kPrinterHelp;
      break;
    case Command::Decode:
      text =
          "Usage: jobcontrol decode [--pass-code N] [--folder-pass-code N] [--json] [FILE|-]\n"
          "\n"
          "Reads a job's options as a printer driver's filter receives them (its argv[5]\n"
          "form), or key=value lines as `set` writes them, from FILE or standard input, and\n"
          "reports what the printer side can read: clear values, what the stored key and\n"
          "the run-time key (from the spool time) decipher, and whether the digests match\n"
          "the pass codes given. Values that must agree are checked against each other.\n"
          "  --bundle PATH     the plug-in bundle whose codecs are used\n\n";
      break;
  }
  text += kExitHelp;
  return text;
}

Result<Options> parseOptions(const std::vector<std::string>& args) {
  Options options;
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  bool filesOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (filesOnly) {
      options.files.push_back(arg);
      continue;
    }
    auto value = [&](std::optional<std::string>& into) -> bool {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--") {
      filesOnly = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--lp") {
      options.lp = true;
    } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
      struct Valued {
        const char* name;
        std::optional<std::string>* into;
        const char* what;
      };
      const Valued valued[] = {{"--bundle", &options.bundle, "a path"},
                               {"--printer", &options.printer, "a queue name"},
                               {"--ppd", &options.ppd, "a file"},
                               {"--printer-id", &options.printerId, "an ID"},
                               {"--device-uri", &options.deviceURI, "a URI"},
                               {"--settings", &options.settings, "a file"},
                               {"--job-name", &options.jobName, "a name"},
                               {"--out", &options.out, "a file"},
                               {"--address", &options.address, "HOST[:PORT]"},
                               {"--pass-code", &options.passCode, "a pass code"},
                               {"--folder-pass-code", &options.folderPassCode, "a pass code"}};
      const Valued* match = nullptr;
      for (const auto& row : valued)
        if (arg == row.name) match = &row;
      if (!match) return fail("unknown option " + arg);
      if (!value(*match->into)) return fail(arg + " needs " + match->what);
    } else if (arg.size() > 1 && arg.front() == '-') {
      return fail("unknown option " + arg);
    } else if (options.command == Command::None) {
      for (const auto& row : kCommands)
        if (arg == row.name) options.command = row.command;
      if (options.command == Command::None) return fail("unknown command \"" + arg + "\"");
    } else if (isEntryWord(arg) && options.command != Command::Decode) {
      options.entries.push_back(arg);
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.help) return options;
  if (options.command == Command::None) return fail("no command given");

  // Which options belong to which command.
  const Command c = options.command;
  const std::string name = commandName(c);
  auto only = [&](bool given, const char* option, bool allowed) {
    return given && !allowed
               ? std::optional<std::string>(std::string(option) + " is not an option of " + name)
               : std::nullopt;
  };
  const bool opensPanel = c != Command::Decode;
  for (auto problem :
       {only(options.printer.has_value(), "--printer", opensPanel),
        only(options.ppd.has_value(), "--ppd", opensPanel && c != Command::Print),
        only(options.printerId.has_value(), "--printer-id", opensPanel && c != Command::Print),
        only(options.deviceURI.has_value(), "--device-uri", opensPanel && c != Command::Print),
        only(options.settings.has_value(), "--settings", opensPanel),
        only(options.jobName.has_value(), "--job-name", opensPanel),
        only(options.out.has_value(), "--out", c == Command::Set || c == Command::Print),
        only(options.lp, "--lp", c == Command::Set),
        only(options.json, "--json", c != Command::Print),
        only(options.address.has_value(), "--address", c == Command::Folders),
        only(options.passCode.has_value(), "--pass-code", c == Command::Decode),
        only(options.folderPassCode.has_value(), "--folder-pass-code", c == Command::Decode)}) {
    if (problem) return fail(*problem);
  }
  if (options.lp && options.json) return fail("--lp and --json exclude each other");
  if (!options.entries.empty() && c != Command::Set && c != Command::Print)
    return fail(name + " takes no entries (\"" + options.entries.front() + "\")");
  if (c == Command::Print && options.files.empty()) return fail("print needs a file");
  if (c == Command::Decode && options.files.size() > 1) return fail("decode reads one file");
  if (c != Command::Print && c != Command::Decode && !options.files.empty())
    return fail("unknown entry or word \"" + options.files.front() + "\"");
  if (options.ppd.has_value() != options.printerId.has_value())
    return fail("--ppd and --printer-id go together");
  if (options.deviceURI && !options.ppd) return fail("--device-uri needs --ppd and --printer-id");
  if (options.printer && options.ppd) return fail("--printer and --ppd exclude each other");
  return options;
}

}  // namespace jc::cli
