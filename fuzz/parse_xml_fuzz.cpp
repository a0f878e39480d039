// Fuzz target: arbitrary bytes as the response file, read by the parseXML of a panel made
// afresh for each input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "plugin/panel.h"
#include "soap/folder_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static jc::fuzz::ScratchFolder scratch;  // memory-backed: every input is a file write
  const std::string path = (scratch.path() / "vwxyz.xml").string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  VoreliaPrintPdeTz630eJC panel(std::make_shared<jc::MemoryPluginCallback>(), nullptr);
  bool accepted = panel.parseXML(path);
  if (!accepted && !panel.folderList.empty()) std::abort();  // a refused answer lists nothing
  if (panel.folderList.size() > jc::soap::kMaxFolders) std::abort();
  for (const auto& folder : panel.folderList)
    if (folder.add) std::abort();  // the reader never makes added folders
  return 0;
}
