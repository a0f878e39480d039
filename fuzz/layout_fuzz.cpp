// Fuzz target: arbitrary bytes as a layout file, loaded for a panel made afresh for each
// input. Loading must answer a view or an error, and a failed load leaves no outlet
// connected.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/widgets/layout.h"
#include "plugin/panel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static jc::fuzz::ScratchFolder scratch;
  const std::string path = (scratch.path() / "fuzz.layout").string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  VoreliaPrintPdeTz630eJC panel(std::make_shared<jc::MemoryPluginCallback>(), nullptr);
  auto result = jc::loadLayoutFile(path, panel);
  if (result ? !*result : result.message().empty()) std::abort();
  if (!result && (panel.retentionCheckBox || panel.getFolderNameButton)) std::abort();
  return 0;
}
