// Plug-in loading with dlopen.
#include "platform/host/loader.h"

#include <dlfcn.h>

#include <system_error>

#include "platform/io/bundle.h"

namespace jc {

Result<LoadedPlugIn> loadPlugIn(const std::filesystem::path& path) {
  auto fail = [](std::string message) { return Refusal{std::move(message)}; };
  Result<std::shared_ptr<Bundle>> opened = Bundle::open(path);
  if (!opened) return opened.refusal();
  std::shared_ptr<Bundle> bundle = std::move(*opened);
  std::filesystem::path object = bundle->executablePath();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(object, ec))
    return fail(object.string() + ": the bundle has no shared object");
  // RTLD_NODELETE keeps the code mapped even if someone closes the handle.
  void* handle = dlopen(object.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) return fail(object.string() + ": cannot load: " + dlerror());
  auto create = reinterpret_cast<JobControlPlugInCreateFn>(dlsym(handle, JC_PLUGIN_ENTRY_POINT));
  if (!create) return fail(object.string() + ": no entry point " JC_PLUGIN_ENTRY_POINT);
  std::unique_ptr<PDEPlugIn> plugIn(create());
  if (!plugIn) return fail(object.string() + ": the entry point made no plug-in object");
  if (!plugIn->initWithBundle(bundle))
    return fail(object.string() + ": the plug-in refused its bundle");
  return LoadedPlugIn{bundle, std::move(plugIn)};
}

}  // namespace jc
