// Fuzz target: arbitrary bytes as a printer's preference file. The property-list reader
// must answer a dictionary or nothing, a dictionary must survive being written and read
// again, and a panel made afresh over the file must load it, save it and load it again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/io/property_list.h"
#include "platform/io/user_defaults.h"
#include "plugin/panel.h"

namespace {

std::string demoPPD() {
  std::ifstream in(JOBCONTROL_FUZZ_SOURCE_DIR "/tools/ppd/vorelia-demo.ppd", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  if (text.empty()) std::abort();
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static jc::fuzz::ScratchFolder scratch;
  static const std::string ppd = demoPPD();
  scratch.clear();
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  if (auto parsed = jc::parsePropertyList(bytes)) {
    if (!jc::parsePropertyList(jc::propertyListXML(*parsed))) std::abort();
  }

  auto store = jc::UserDefaults::standard();
  if (!store) std::abort();
  {
    std::ofstream out(store->fileForDomain("vorelia.mfp.P1"), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  // Creation checks the file and reads the held entries and the folder list from it.
  VoreliaPrintPdeTz630eJC panel(jc::fuzz::demoCallback(ppd), nullptr);
  panel.GetUserPreference();
  panel.GetFolderPreference();
  if (!panel.SaveUserPreference() || !panel.SaveFolderPreference()) std::abort();
  panel.GetUserPreference();
  return 0;
}
