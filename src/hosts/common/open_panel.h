// Opening the panel as a print dialog does: the bundle loaded through the loader, the
// print dialog's panel made for the host's callback object, its view asked for and its
// values restored.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/base/result.h"
#include "platform/host/loader.h"
#include "platform/host/plugin_api.h"

namespace jc {

/// A panel opened for one job; the plug-in stays loaded while the panel lives.
struct OpenPanel {
  LoadedPlugIn plugIn;
  std::shared_ptr<PDEPanel> panel;
  std::shared_ptr<View> view;  ///< the panel's root view; nullptr when its layout failed
};

/// Loads the bundle at `bundle`, makes the print dialog's panel for `callback`, asks for
/// its view and restores its values. Refuses, with the failed step's message, when the
/// bundle cannot be loaded or makes no panel; a layout that fails leaves `view` null
/// (lastLayoutError() says why).
Result<OpenPanel> openPanel(const std::filesystem::path& bundle,
                            const std::shared_ptr<PluginCallback>& callback);

}  // namespace jc
