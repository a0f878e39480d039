// `jobcontrol`: a command-line print dialog host for the Job Control panel. It loads the
// plug-in bundle through the loader, opens the panel for a printer, and drives it through
// the host protocol as a print dialog does.
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "hosts/cli/demo_printer.h"
#include "hosts/cli/options.h"
#include "platform/loader.h"
#include "platform/memory_host.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The bundle: --bundle, then $JOBCONTROL_BUNDLE, then the one installed beside this
// program, then the one in the build tree this program was built in.
fs::path bundlePath(const jc::cli::Options& options) {
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

int run(const jc::cli::Options& options) {
  if (!options.arguments.empty()) {
    std::cerr << "jobcontrol: unknown entry \"" << options.arguments.front()
              << "\": this version takes no entries\n";
    return kExitUsage;
  }

  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  std::string error;
  if (options.ppd) {
    auto ppd = jc::openPPDFile(*options.ppd, &error);
    if (!ppd) {
      std::cerr << "jobcontrol: " << error << "\n";
      return kExitFailure;
    }
    callback->setPPD(std::move(ppd));
    callback->setPrinter(jc::Printer(*options.printerId, options.deviceURI));
  } else {
    callback->setPPD(jc::openPPDText(jc::cli::kDemoPPD, &error));
    callback->setPrinter(jc::Printer(jc::cli::kDemoPrinterId, std::string(jc::cli::kDemoDeviceURI)));
  }

  auto settings = std::make_shared<jc::MemoryPrintSettings>(options.jobName.value_or("Untitled"));
  if (options.settings) {
    std::ifstream in(*options.settings);
    if (!in) {
      std::cerr << "jobcontrol: " << *options.settings << ": cannot read the settings file\n";
      return kExitFailure;
    }
    if (!settings->read(in, &error)) {
      std::cerr << "jobcontrol: " << *options.settings << ": " << error << "\n";
      return kExitFailure;
    }
  }
  callback->setPrintSettings(settings);

  auto plugIn = jc::loadPlugIn(bundlePath(options), &error);
  if (!plugIn) {
    std::cerr << "jobcontrol: " << error << "\n";
    return kExitFailure;
  }
  auto panels = plugIn->plugIn->PDEPanelsForType(jc::kPrintDialogType, callback);
  if (!panels || panels->empty()) {
    std::cerr << "jobcontrol: the plug-in made no panel for the print dialog\n";
    return kExitFailure;
  }
  auto& panel = panels->front();
  if (!panel->panelView())
    std::cerr << "jobcontrol: warning: the panel's layout could not be loaded\n";
  panel->restoreValuesAndReturnError(nullptr);
  if (options.command == "show") {
    // What the print dialog's summary view lists; nothing is saved or remembered.
    for (const auto& [label, value] : panel->summaryInfo())
      std::cout << label << ": " << value << "\n";
    return std::cout.good() ? 0 : kExitFailure;
  }
  panel->saveValuesAndReturnError(nullptr);
  panel->shouldPrint();
  settings->write(std::cout);
  return std::cout.good() ? 0 : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = jc::cli::parseOptions(args, &error);
  if (!options) {
    std::cerr << "jobcontrol: " << error << "\n" << "Try 'jobcontrol --help'.\n";
    return kExitUsage;
  }
  if (options->help) {
    std::cout << jc::cli::usageText();
    return 0;
  }
  return run(*options);
}
