// Command-line parsing for `jobcontrol`.
#include "hosts/cli/options.h"

namespace jc::cli {

const char* usageText() {
  return "Usage: jobcontrol [PRINTER] [--settings FILE] [--job-name NAME] set [ENTRY=VALUE ...]\n"
         "       jobcontrol [PRINTER] [--settings FILE] [--job-name NAME] show\n"
         "\n"
         "Opens the Job Control panel for a printer the way a print dialog does and restores\n"
         "it from the print settings.\n"
         "  set    saves it, confirms printing, and prints the resulting print settings as\n"
         "         key=value lines.\n"
         "  show   prints the panel's summary, one \"label: value\" line per entry, as a\n"
         "         print dialog's summary view lists it.\n"
         "\n"
         "PRINTER (the built-in demo printer when omitted):\n"
         "  --ppd FILE --printer-id ID [--device-uri URI]   a PPD file and the queue's ID\n"
         "\n"
         "Options:\n"
         "  --settings FILE   key=value lines of an earlier save (the dialog reopening)\n"
         "  --job-name NAME   the job's own name (default: \"Untitled\")\n"
         "  --bundle PATH     the plug-in bundle (default: the installed JobControl.plugin)\n"
         "  -h, --help        this text\n"
         "\n"
         "Exit status: 0 success, 1 the panel or its input could not be loaded, 2 bad usage.\n";
}

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string* error) {
  Options options;
  auto fail = [&](std::string message) -> std::optional<Options> {
    if (error) *error = std::move(message);
    return std::nullopt;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options.command.empty()) {
      if (arg == "-h" || arg == "--help") {
        options.help = true;
        continue;
      }
      options.arguments.push_back(arg);
      continue;
    }
    auto value = [&](std::optional<std::string>& into) -> bool {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--bundle") {
      if (!value(options.bundle)) return fail("--bundle needs a path");
    } else if (arg == "--ppd") {
      if (!value(options.ppd)) return fail("--ppd needs a file");
    } else if (arg == "--printer-id") {
      if (!value(options.printerId)) return fail("--printer-id needs an ID");
    } else if (arg == "--device-uri") {
      if (!value(options.deviceURI)) return fail("--device-uri needs a URI");
    } else if (arg == "--settings") {
      if (!value(options.settings)) return fail("--settings needs a file");
    } else if (arg == "--job-name") {
      if (!value(options.jobName)) return fail("--job-name needs a name");
    } else if (arg == "set" || arg == "show") {
      options.command = arg;
    } else if (!arg.empty() && arg.front() == '-') {
      return fail("unknown option " + arg);
    } else {
      return fail("unknown command \"" + arg + "\"");
    }
  }
  if (options.help) return options;
  if (options.command.empty()) return fail("no command given");
  if (options.ppd.has_value() != options.printerId.has_value())
    return fail("--ppd and --printer-id go together");
  if (options.deviceURI && !options.ppd) return fail("--device-uri needs --ppd and --printer-id");
  return options;
}

}  // namespace jc::cli
