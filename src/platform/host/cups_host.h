// The host side backed by a real CUPS queue: the queue's PPD and device URI, and job
// submission with the print settings as job options.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/result.h"
#include "platform/host/memory_host.h"

namespace jc {

/// What the CUPS server tells about one queue.
struct CupsQueue {
  std::string name;
  std::optional<std::string> deviceURI;
  PPDHandle ppd{nullptr, ppdClose};
};

/// Whether the default CUPS server (CUPS_SERVER / client.conf apply) takes a connection
/// within a second. libcups reports an unreachable scheduler as "Bad file descriptor", or
/// a named queue as missing; a person is better told that CUPS does not answer.
bool cupsSchedulerAnswers();

/// Looks up `queue` on the default CUPS server (CUPS_SERVER / client.conf apply): its
/// device URI and its PPD. Refuses, with a message naming the queue, when the queue does
/// not exist or its PPD cannot be had, and says so when CUPS does not answer at all.
Result<CupsQueue> openCupsQueue(const std::string& queue);

/// Submits `files` to `queue` as one job titled `title`, with every print-settings entry
/// as a job option and then `extra` (name, value) options as given. Unless every file is
/// PDF or PostScript by its first bytes, the job is held until CUPS has typed each
/// document; a file whose type CUPS does not know cancels the job, with the file and the
/// detected type in the refusal. Each file is opened once, before anything is sent, so what
/// is checked is what is sent; one that cannot be opened refuses with its path and the
/// system's reason. Answers the job ID (never 0), or refuses with the server's message.
Result<int> submitCupsJob(const std::string& queue, const std::vector<std::string>& files,
                          const std::string& title, const MemoryPrintSettings& settings,
                          const std::vector<std::pair<std::string, std::string>>& extra = {});

}  // namespace jc
