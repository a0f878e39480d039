// Shared set-up for panel tests: a host callback with the demo PPD and a printer.
#pragma once

#include <memory>
#include <string>

#include "platform/host/memory_host.h"
#include "platform/io/bundle.h"
#include "plugin/panel.h"
#include "support/test_paths.h"

namespace jc::test {

/// A callback object like a print dialog's (a `Host`): the demo PPD, printer `id` at `uri`,
/// and empty print settings for a job named "Report".
template <class Host = MemoryPluginCallback>
std::shared_ptr<Host> demoCallback(
    const std::string& id = "P1",
    std::optional<std::string> uri = "ipp://192.0.2.7:631/ipp/print") {
  auto callback = std::make_shared<Host>();
  callback->setPPD(openPPDFile(std::string(kSourceDir) + "/tools/ppd/vorelia-demo.ppd")
                       .value_or(jc::PPDHandle(nullptr, ppdClose)));
  callback->setPrinter(Printer(id, std::move(uri)));
  callback->setPrintSettings(std::make_shared<MemoryPrintSettings>("Report"));
  return callback;
}

/// The bundle built beside the tests.
inline std::shared_ptr<Bundle> builtBundle() {
  return Bundle::open(kBundleDir).value_or(nullptr);
}

}  // namespace jc::test
