// `jobcontrol`: a command-line print dialog host for the Job Control panel. It loads the
// plug-in bundle through the loader, opens the panel for a printer, and drives it through
// the host protocol and user events as a print dialog does.
#include <clocale>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "hosts/cli/commands.h"
#include "hosts/common/messages.h"

namespace {

int run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  jc::Result<jc::cli::Options> options = jc::cli::parseOptions(args);
  if (!options) {
    std::cerr << "jobcontrol: " << options.message() << "\n"
              << jc::tr("Try 'jobcontrol help'.") << "\n";
    return jc::cli::kExitUsage;
  }
  if (options->version) {
    std::cout << "jobcontrol " JOBCONTROL_VERSION "\n";
    return jc::cli::kExitSuccess;
  }
  if (options->help || options->command == jc::cli::Command::Help) {
    std::cout << jc::cli::usageText(options->helpTopic);
    return jc::cli::kExitSuccess;
  }
  switch (options->command) {
    case jc::cli::Command::Show:
      return jc::cli::runShow(*options);
    case jc::cli::Command::Set:
      return jc::cli::runSet(*options);
    case jc::cli::Command::Folders:
      return jc::cli::runFolders(*options);
    case jc::cli::Command::Print:
      return jc::cli::runPrint(*options);
    case jc::cli::Command::Printers:
      return jc::cli::runPrinters(*options);
    case jc::cli::Command::Decode:
      return jc::cli::runDecode(*options);
    case jc::cli::Command::Desktop:
      return jc::cli::runDesktop(*options);
    case jc::cli::Command::Queue:
      return jc::cli::runQueue(*options);
    case jc::cli::Command::Help:
    case jc::cli::Command::None:
      break;
  }
  return jc::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // The command takes from the environment only what it uses: the character set (terminal
  // widths, conversions) and the language of messages, its own and CUPS's. Dates, numbers
  // and sorting stay in the C form; each category read costs a file or two at every start.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  jc::bindMessages();
  // Nothing is expected to throw here; should something (memory, a file system error)
  // do so, the command still ends with a message and the failure status, not an abort.
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "jobcontrol: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "jobcontrol: an unexpected error ended the command\n";
  }
  return jc::cli::kExitFailure;
}
