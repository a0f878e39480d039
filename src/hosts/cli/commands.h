// The commands of `jobcontrol`, one file each, and the exit statuses they share.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hosts/cli/options.h"
#include "hosts/cli/session.h"

namespace jc::cli {

inline constexpr int kExitSuccess = 0;
/// The panel, the printer, a file, CUPS or the printer's folder service failed.
inline constexpr int kExitFailure = 1;
/// Bad usage, or an entry the panel refused; nothing was saved or remembered.
inline constexpr int kExitUsage = 2;
/// `decode` found a check that failed.
inline constexpr int kExitCheckFailed = 3;

int runShow(const Options& options);
int runSet(const Options& given);
int runFolders(const Options& options);
int runPrint(const Options& given);
int runPrinters(const Options& options);
int runDecode(const Options& options);
int runDesktop(const Options& options);
int runQueue(const Options& options);

/// Applies the entries of `options` to the open panel in order, as user events, after
/// giving `ENTRY=-` secrets their values. Answers kExitSuccess, or kExitUsage after
/// printing which entry was refused, why and what to do; after a refusal the remaining
/// entries are not applied.
int applyEntries(Session& session, Options& options);

/// Saves the panel and confirms printing, as a dialog does when the user presses Print,
/// and notes on standard error when filing was asked for but the printer files nothing.
/// False when the panel reported that something was not remembered (already on standard
/// error); the print settings are valid either way.
bool saveAndConfirm(Session& session, const Options& options);

/// The standard IPP job attributes (job-password, job-account-id, job-accounting-user-id)
/// for the saved panel of `session`, by --ipp-attributes (auto by default): asks the
/// queue's printer what it supports when the queue has no vendor filter. Notes what is not
/// sent on standard error; nullopt, after a message, when the job must not be sent.
std::optional<std::vector<std::pair<std::string, std::string>>> standardJobAttributes(
    const Session& session, const Options& options);

/// Writes the print settings as key=value lines to --out FILE when given; refused, naming
/// the file, when it cannot be written.
Result<> writeOutFile(const Session& session, const Options& options);

}  // namespace jc::cli
