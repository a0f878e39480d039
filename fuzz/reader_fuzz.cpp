// Feeds arbitrary values for every key the reader reads, and arbitrary remembered values,
// into a panel made afresh for each input: the reader must never crash or step outside a
// buffer, and every field must stay within its limits.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/io/bundle.h"
#include "plugin/panel.h"
#include "settings/keys.h"

namespace {

struct Shared {
  jc::fuzz::ScratchFolder scratch;
  std::shared_ptr<jc::Bundle> bundle =
      jc::Bundle::open(JOBCONTROL_FUZZ_BUNDLE_DIR).value_or(nullptr);
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Only read-only things are shared; the panel, its host and its preferences are new.
  static Shared shared;
  shared.scratch.clear();
  auto callback = std::make_shared<jc::MemoryPluginCallback>();
  auto settings = std::make_shared<jc::MemoryPrintSettings>("job");
  callback->setPrintSettings(settings);
  VoreliaPrintPdeTz630eJC panel(callback, shared.bundle);
  panel.panelView();

  std::string input(reinterpret_cast<const char*>(data), size);
  // The input is split at 0xFF bytes: one value per read key, then the remembered values.
  std::size_t at = 0;
  auto next = [&]() -> std::optional<std::string> {
    if (at > input.size()) return std::nullopt;
    std::size_t end = input.find('\xFF', at);
    if (end == std::string::npos) end = input.size();
    std::string piece = input.substr(at, end - at);
    at = end + 1;
    return piece;
  };
  for (const char* key : jc::settings::kAllKeys) settings->setValue(key, next());
  panel.prefHoldButtonFlag = size > 0 ? data[0] | (size > 1 ? data[1] << 8 : 0) : 0;
  panel.prefSuspendKeyStringRef = next();
  panel.prefLoginNameStringRef = next();
  panel.prefPasswordStringRef = next();
  panel.prefUserNumberStringRef = next();
  panel.prefAccountNumberStringRef = next();
  panel.prefFolderPassStringRef = next();
  panel.prefUserNameStringRef = next();
  panel.prefFolderNameStringRef = next();
  panel.getNonPPDSettingsFromPrintSettings();
  // Whatever came in, the writer must be able to store the result again.
  panel.writeNonPPDSettingsToPrintSettings();
  return 0;
}
