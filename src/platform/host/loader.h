// The host's plug-in loader: opens a bundle by path and makes its entry-class object.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/base/result.h"
#include "platform/host/plugin_api.h"

namespace jc {

/// A loaded plug-in: its bundle and its entry-class object.
struct LoadedPlugIn {
  std::shared_ptr<Bundle> bundle;
  std::unique_ptr<PDEPlugIn> plugIn;
};

/// Opens the bundle at `path`, loads its shared object and makes the entry-class object
/// through the exported entry point, then sends it `initWithBundle`. Refuses with a
/// message naming the file when any step fails. The shared object stays loaded for the
/// rest of the process, so objects it made never outlive their code.
Result<LoadedPlugIn> loadPlugIn(const std::filesystem::path& path);

}  // namespace jc
