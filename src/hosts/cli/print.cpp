// `jobcontrol print`: as `set`, then the files go to a CUPS queue as one job with the
// print settings as job options.
#include <cups/cups.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "hosts/cli/commands.h"
#include "platform/cups_host.h"

namespace jc::cli {

int runPrint(const Options& given) {
  Options options = given;
  // Every file must be there before the panel is touched: a job that cannot be sent is
  // better refused before anything is saved or remembered.
  for (const std::string& file : options.files) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || ::access(file.c_str(), R_OK) != 0) {
      std::cerr << "jobcontrol: " << file << ": not a readable file\n";
      return kExitFailure;
    }
  }
  if (!options.printer) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
      std::cerr << "jobcontrol: no --printer given and CUPS has no default destination\n";
      return kExitFailure;
    }
    options.printer = dest->name;
    cupsFreeDests(1, dest);
  }

  std::string title = std::filesystem::path(options.files.front()).filename().string();
  auto session = openSessionOrReport(options, title);
  if (!session) return kExitFailure;
  if (int status = applyEntries(*session, options); status != kExitSuccess) return status;
  const bool remembered = saveAndConfirm(*session);
  if (!writeOutFile(*session, options)) return kExitFailure;

  Result<int> job = submitCupsJob(*options.printer, options.files, session->settings->jobName(),
                                  *session->settings);
  if (!job) {
    std::cerr << "jobcontrol: " << *options.printer
              << ": the job was not accepted: " << job.message() << "\n";
    return kExitFailure;
  }
  // The job went out with valid settings; the status still tells that the preferences
  // were not kept.
  std::cout << *job << "\n";
  return std::cout.good() && remembered ? kExitSuccess : kExitFailure;
}

}  // namespace jc::cli
