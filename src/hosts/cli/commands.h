// The commands of `jobcontrol`, one file each, and the exit statuses they share.
#pragma once

#include <string>

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
int runSet(const Options& options);
int runFolders(const Options& options);
int runPrint(const Options& given);
int runDecode(const Options& options);

/// Applies the entries of `options` to the open panel in order, as user events. Answers
/// kExitSuccess, or kExitUsage after printing which entry was refused and why; after a
/// refusal the remaining entries are not applied.
int applyEntries(Session& session, const Options& options);

/// Saves the panel and confirms printing, as a dialog does when the user presses Print.
/// False when the panel reported that something was not remembered (already on standard
/// error); the print settings are valid either way.
bool saveAndConfirm(Session& session);

/// Writes the print settings as key=value lines to --out FILE when given. Answers false
/// (after a message) when the file cannot be written.
bool writeOutFile(const Session& session, const Options& options);

}  // namespace jc::cli
