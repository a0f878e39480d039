// Opening the panel for the printer of the command line, as a print dialog opens it.
#include "hosts/cli/session.h"

#include <cups/cups.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "hosts/cli/demo_printer.h"
#include "hosts/cli/input_file.h"
#include "hosts/common/messages.h"
#include "hosts/common/open_panel.h"
#include "platform/host/cups_host.h"
#include "platform/widgets/layout.h"

namespace fs = std::filesystem;

namespace jc::cli {

void CliAlertPresenter::runInformationalAlert(const std::string& title, const std::string& message,
                                              const std::string&) {
  ++count_;
  last_ = message;
  std::cerr << "jobcontrol: " << (title.empty() ? "" : title + ": ") << message << "\n"
            << std::flush;
}

void CliCallback::preferencesProblem(const std::string& message) {
  for (const std::string& known : preferenceProblems)
    if (known == message) return;
  preferenceProblems.push_back(message);
  std::cerr << "jobcontrol: " << message << "\n";
}

fs::path bundlePath(const Options& options) {
  if (options.bundle) return *options.bundle;
  if (const char* env = std::getenv("JOBCONTROL_BUNDLE"); env && *env) return env;
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path installed = self.parent_path() / JOBCONTROL_BUNDLE_FROM_BINDIR;
    if (fs::is_directory(installed, ec)) return installed;
  }
  return JOBCONTROL_BUILD_BUNDLE;
}

Result<PrinterChoice> choosePrinter(const Options& options) {
  using Kind = PrinterChoice::Kind;
  if (options.printer) return PrinterChoice{Kind::Queue, *options.printer, "--printer"};
  if (options.ppd) return PrinterChoice{Kind::PPDFile, "", "--ppd"};
  if (options.demo) return PrinterChoice{Kind::Demo, "", "--demo"};
  // CUPS's own order, as lp follows it: $LPDEST, $PRINTER, the lpoptions default, the
  // server's default destination.
  std::string source;
  for (const char* variable : {"LPDEST", "PRINTER"}) {
    const char* value = std::getenv(variable);
    if (value && *value && source.empty()) source = std::string("$") + variable;
  }
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!dest) {
    if (!source.empty() && !cupsSchedulerAnswers())
      return Refusal{subst(tr("%1 names the queue \"%2\": %3"),
                           {source, std::getenv(source.c_str() + 1), cupsFailure()})};
    if (!source.empty()) {
      return Refusal{subst(tr("%1 names the queue \"%2\", which CUPS does not know (%3); "
                              "`jobcontrol printers` lists the queues"),
                           {source, std::getenv(source.c_str() + 1), cupsLastErrorString()})};
    }
    return PrinterChoice{Kind::Demo, "", ""};
  }
  PrinterChoice choice{Kind::Queue, dest->name,
                       source.empty() ? tr("the default destination") : source};
  cupsFreeDests(1, dest);
  return choice;
}

Result<Session> openSession(const Options& options, const PrinterChoice& choice,
                            const std::string& defaultJobName) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  Session session;
  session.callback = std::make_shared<CliCallback>();
  if (choice.kind == PrinterChoice::Kind::Queue) {
    Result<CupsQueue> queue = openCupsQueue(choice.queue);
    if (!queue)
      return fail(queue.message() +
                  (choice.source == "--printer" ? "" : " (" + choice.source + ")"));
    session.callback->setPPD(std::move(queue->ppd));
    session.printerId = queue->name;
    session.deviceURI = queue->deviceURI;
    session.queue = queue->name;
  } else if (choice.kind == PrinterChoice::Kind::PPDFile) {
    Result<PPDHandle> ppd = openPPDFile(*options.ppd);
    if (!ppd) return ppd.refusal();
    session.callback->setPPD(std::move(*ppd));
    session.printerId = *options.printerId;
    session.deviceURI = options.deviceURI;
  } else {
    // The built-in PPD is part of the program; should it fail to parse, the panel opens
    // without one, as for a printer whose PPD lacks the options.
    session.callback->setPPD(openPPDText(kDemoPPD).value_or(PPDHandle(nullptr, ppdClose)));
    session.printerId = kDemoPrinterId;
    session.deviceURI = kDemoDeviceURI;
  }
  session.callback->setPrinter(Printer(session.printerId, session.deviceURI));

  session.settings =
      std::make_shared<MemoryPrintSettings>(options.jobName.value_or(defaultJobName));
  if (options.settings) {
    auto text = readInputFile(*options.settings);
    if (!text) return fail(text.message());
    std::istringstream in(*text);
    if (Result<> read = session.settings->read(in); !read)
      return fail(*options.settings + ": " + read.message());
  }
  session.callback->setPrintSettings(session.settings);

  Result<OpenPanel> open = openPanel(bundlePath(options), session.callback);
  if (!open) return open.refusal();
  session.plugIn = std::move(open->plugIn);
  session.panel = std::move(open->panel);
  session.view = std::move(open->view);
  if (!session.view) {
    const std::string& why = lastLayoutError();
    std::cerr << "jobcontrol: " << tr("warning: the panel's layout could not be loaded")
              << (why.empty() ? "" : ": " + why) << "\n";
  }
  return session;
}

std::optional<Session> openSessionOrReport(const Options& options,
                                           const std::string& defaultJobName) {
  auto choice = choosePrinter(options);
  if (!choice) {
    std::cerr << "jobcontrol: " << choice.message() << "\n";
    return std::nullopt;
  }
  if (choice->kind == PrinterChoice::Kind::Demo && choice->source.empty())
    std::cerr << "jobcontrol: "
              << tr("note: no printer chosen and CUPS has no default; using the built-in demo "
                    "printer (pick one with --printer QUEUE, see `jobcontrol printers`)")
              << "\n";
  Result<Session> session = openSession(options, *choice, defaultJobName);
  if (!session) {
    std::cerr << "jobcontrol: " << session.message() << "\n";
    return std::nullopt;
  }
  return std::move(*session);
}

}  // namespace jc::cli
