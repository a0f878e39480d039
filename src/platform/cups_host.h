// The host side backed by a real CUPS queue: the queue's PPD and device URI, and job
// submission with the print settings as job options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/memory_host.h"

namespace jc {

/// What the CUPS server tells about one queue.
struct CupsQueue {
  std::string name;
  std::optional<std::string> deviceURI;
  PPDHandle ppd{nullptr, ppdClose};
};

/// Looks up `queue` on the default CUPS server (CUPS_SERVER / client.conf apply): its
/// device URI and its PPD. Refuses, with a message naming the queue, when the queue does
/// not exist or its PPD cannot be had.
Result<CupsQueue> openCupsQueue(const std::string& queue);

/// Submits `files` to `queue` as one job titled `title`, with every print-settings entry
/// as a job option. Answers the job ID (never 0), or refuses with the server's message.
Result<int> submitCupsJob(const std::string& queue, const std::vector<std::string>& files,
                          const std::string& title, const MemoryPrintSettings& settings);

}  // namespace jc
