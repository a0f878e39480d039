// Opening the panel for the printer of the command line, as a print dialog opens it.
#include "hosts/cli/session.h"

#include <iostream>
#include <sstream>

#include "hosts/cli/demo_printer.h"
#include "hosts/cli/input_file.h"
#include "platform/cups_host.h"
#include "platform/layout.h"

namespace fs = std::filesystem;

namespace jc::cli {

void CliAlertPresenter::runInformationalAlert(const std::string& title, const std::string& message,
                                              const std::string&) {
  ++count_;
  last_ = message;
  std::cerr << "jobcontrol: " << (title.empty() ? "" : title + ": ") << message << "\n";
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

Result<Session> openSession(const Options& options, const std::string& defaultJobName) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  Session session;
  session.callback = std::make_shared<CliCallback>();
  if (options.printer) {
    Result<CupsQueue> queue = openCupsQueue(*options.printer);
    if (!queue) return queue.refusal();
    session.callback->setPPD(std::move(queue->ppd));
    session.printerId = queue->name;
    session.deviceURI = queue->deviceURI;
  } else if (options.ppd) {
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

  Result<LoadedPlugIn> plugIn = loadPlugIn(bundlePath(options));
  if (!plugIn) return plugIn.refusal();
  session.plugIn = std::move(*plugIn);
  auto panels = session.plugIn.plugIn->PDEPanelsForType(kPrintDialogType, session.callback);
  if (!panels || panels->empty()) return fail("the plug-in made no panel for the print dialog");
  session.panel = panels->front();
  session.view = session.panel->panelView();
  if (!session.view) {
    const std::string& why = lastLayoutError();
    std::cerr << "jobcontrol: warning: the panel's layout could not be loaded"
              << (why.empty() ? "" : ": " + why) << "\n";
  }
  session.panel->restoreValuesAndReturnError(nullptr);
  return session;
}

std::optional<Session> openSessionOrReport(const Options& options,
                                           const std::string& defaultJobName) {
  Result<Session> session = openSession(options, defaultJobName);
  if (!session) {
    std::cerr << "jobcontrol: " << session.message() << "\n";
    return std::nullopt;
  }
  return std::move(*session);
}

}  // namespace jc::cli
