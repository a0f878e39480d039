// An open panel: the printer chosen on the command line, the job's print settings, the
// loaded plug-in and the panel it made, viewed and restored as a print dialog does.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "hosts/cli/options.h"
#include "platform/base/result.h"
#include "platform/host/loader.h"
#include "platform/host/memory_host.h"
#include "platform/widgets/alert.h"

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
  /// The CUPS queue the panel was opened for; nullopt for a PPD file or the demo printer.
  std::optional<std::string> queue;
};

/// Where the printer comes from, by the one rule every command follows.
struct PrinterChoice {
  enum class Kind { Queue, PPDFile, Demo } kind = Kind::Demo;
  std::string queue;   ///< for Queue
  std::string source;  ///< how it was chosen, for messages ("--printer", "$PRINTER", ...)
};

/// --printer, --ppd or --demo; else $LPDEST, $PRINTER, the lpoptions default or the
/// CUPS default destination; else the demo printer (with `source` empty, so the caller
/// can say so). Refused when an environment variable names a queue CUPS does not know.
Result<PrinterChoice> choosePrinter(const Options& options);

/// The bundle: --bundle, then $JOBCONTROL_BUNDLE, then the one installed beside this
/// program, then the one of the build tree this program was built in.
std::filesystem::path bundlePath(const Options& options);

/// Opens the printer of `choice` (a CUPS queue, a PPD file, or the demo printer),
/// fills the print settings from --settings, loads the plug-in, makes the print dialog's
/// panel, asks for its view and restores it. `defaultJobName` names the job when
/// --job-name is not given. Refuses with the failed step's message.
Result<Session> openSession(const Options& options, const PrinterChoice& choice,
                            const std::string& defaultJobName);

/// Chooses the printer and opens the panel for it, reporting a failure as
/// "jobcontrol: MESSAGE" on standard error and the fall-back to the demo printer as a note.
std::optional<Session> openSessionOrReport(const Options& options,
                                           const std::string& defaultJobName);

}  // namespace jc::cli
