// Opening the panel in the order a print dialog follows.
#include "hosts/common/open_panel.h"

#include "hosts/common/messages.h"

namespace jc {

Result<OpenPanel> openPanel(const std::filesystem::path& bundle,
                            const std::shared_ptr<PluginCallback>& callback) {
  OpenPanel open;
  Result<LoadedPlugIn> plugIn = loadPlugIn(bundle);
  if (!plugIn) return plugIn.refusal();
  open.plugIn = std::move(*plugIn);
  auto panels = open.plugIn.plugIn->PDEPanelsForType(kPrintDialogType, callback);
  if (!panels || panels->empty())
    return Refusal{tr("the plug-in made no panel for the print dialog")};
  open.panel = panels->front();
  open.view = open.panel->panelView();
  open.panel->restoreValuesAndReturnError(nullptr);
  return open;
}

}  // namespace jc
