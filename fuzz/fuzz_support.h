// What the panel fuzz targets share: a preferences folder in memory, emptied before every
// input, and a host callback like a print dialog's, made afresh per input.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/host/memory_host.h"

namespace jc::fuzz {

/// A scratch folder, on /dev/shm when there is one so no input waits for a disk. The
/// preferences live in it ($XDG_CONFIG_HOME); `clear()` removes everything below it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/jc-fuzz-XXXXXX" : "/tmp/jc-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
    ::setenv("XDG_CONFIG_HOME", (path_ / "config").c_str(), 1);
    ::setenv("TMPDIR", (path_ / "tmp").c_str(), 1);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  /// Empties the folder, so nothing one input left behind reaches the next.
  void clear() {
    std::error_code ec;
    for (const char* part : {"config", "tmp"}) {
      std::filesystem::remove_all(path_ / part, ec);
      std::filesystem::create_directory(path_ / part, ec);
      std::filesystem::permissions(path_ / part, std::filesystem::perms::owner_all, ec);
    }
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

/// A print dialog's callback object for the demo printer "P1": its PPD, the printer and
/// empty print settings for a job named "job".
inline std::shared_ptr<MemoryPluginCallback> demoCallback(const std::string& ppdText) {
  auto callback = std::make_shared<MemoryPluginCallback>();
  callback->setPPD(openPPDText(ppdText).value_or(PPDHandle(nullptr, ppdClose)));
  callback->setPrinter(Printer("P1", "ipp://192.0.2.7/ipp/print"));
  callback->setPrintSettings(std::make_shared<MemoryPrintSettings>("job"));
  return callback;
}

}  // namespace jc::fuzz
