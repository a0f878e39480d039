// The host's stylesheet: GTK's default widgets made compact enough for the layout's frames.
#pragma once

#include <string>

#include "hosts/gtk/toolkit.h"

namespace jc::gtk {

/// Installs the stylesheet for the default display once; later calls do nothing. It only
/// styles widgets inside a panel's root (CSS class "jobcontrol-panel").
void installPanelStyle();

/// An ellipsizing one-line label: a caption never asks for more room than its frame. The
/// frames are fitted to the captions when the widgets are made, so only a caption that
/// grows later could be cut, and it is cut visibly rather than drawn over its neighbour.
GtkWidget* captionLabel(const std::string& text);

}  // namespace jc::gtk
