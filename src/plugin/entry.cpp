// The plug-in shared object's C entry point: makes the entry-class object for the loader.
#include "platform/base/export.h"
#include "platform/host/plugin_api.h"
#include "plugin/panel.h"

extern "C" JC_EXPORT jc::PDEPlugIn* JobControlPlugInCreate() {
  try {
    return new VoreliaPrintPdeTz630eJCPDEPlugIn();
  } catch (...) {
    return nullptr;
  }
}
