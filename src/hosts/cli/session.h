// An open panel: the printer chosen on the command line, the job's print settings, the
// loaded plug-in and the panel it made, viewed and restored as a print dialog does.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "hosts/cli/options.h"
#include "platform/alert.h"
#include "platform/loader.h"
#include "platform/memory_host.h"

namespace jc::cli {

/// Prints each alert to standard error as "jobcontrol: MESSAGE" and counts them, so a
/// command can end with a non-zero status after the panel has spoken to the user.
class CliAlertPresenter : public AlertPresenter {
 public:
  void runInformationalAlert(const std::string& title, const std::string& message,
                             const std::string& button) override;
  int count() const { return count_; }
  const std::string& lastMessage() const { return last_; }

 private:
  int count_ = 0;
  std::string last_;
};

/// The host's callback object: everything in memory, alerts through the CLI presenter,
/// and each distinct preferences problem printed once to standard error.
class CliCallback : public MemoryPluginCallback {
 public:
  AlertPresenter* alertPresenter() override { return &alerts; }
  void preferencesProblem(const std::string& message) override;
  CliAlertPresenter alerts;
};

/// A panel opened for one printer.
struct Session {
  std::shared_ptr<CliCallback> callback;
  std::shared_ptr<MemoryPrintSettings> settings;
  LoadedPlugIn plugIn;
  std::shared_ptr<PDEPanel> panel;
  std::shared_ptr<View> view;  ///< the panel's root view; nullptr without a layout
  std::string printerId;
  std::optional<std::string> deviceURI;
};

/// The bundle: --bundle, then $JOBCONTROL_BUNDLE, then the one installed beside this
/// program, then the one of the build tree this program was built in.
std::filesystem::path bundlePath(const Options& options);

/// Opens the printer the options name (a CUPS queue, a PPD file, or the demo printer),
/// fills the print settings from --settings, loads the plug-in, makes the print dialog's
/// panel, asks for its view and restores it. `defaultJobName` names the job when
/// --job-name is not given. Refuses with the failed step's message.
Result<Session> openSession(const Options& options, const std::string& defaultJobName);

/// As openSession, reporting a failure as "jobcontrol: MESSAGE" on standard error.
std::optional<Session> openSessionOrReport(const Options& options,
                                           const std::string& defaultJobName);

}  // namespace jc::cli
