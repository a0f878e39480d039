// Fuzz target: arbitrary bytes as the response file, read by the panel's parseXML.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "platform/memory_host.h"
#include "plugin/panel.h"

namespace {

struct Harness {
  Harness() {
    // Memory-backed when there is such a folder: every input is a file write.
    std::string pattern =
        ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/jc-fuzz-XXXXXX" : "/tmp/jc-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    path = pattern + "/vwxyz.xml";
  }
  std::string path;
  VoreliaPrintPdeTz630eJC panel{std::make_shared<jc::MemoryPluginCallback>(), nullptr};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  {
    std::ofstream out(harness.path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  harness.panel.parseXML(harness.path);
  for (const auto& folder : harness.panel.folderList)
    if (folder.add) std::abort();  // the reader never makes added folders
  return 0;
}
