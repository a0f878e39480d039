// The host's stylesheet: GTK's default widgets made compact enough for the layout's frames.
#pragma once

namespace jc::gtk {

/// Installs the stylesheet for the default display once; later calls do nothing. It only
/// styles widgets inside a panel's root (CSS class "jobcontrol-panel").
void installPanelStyle();

}  // namespace jc::gtk
