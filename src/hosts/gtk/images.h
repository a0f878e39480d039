// The panel's images in GTK: theme icons by name (the padlocks) and image files (the
// bundle's blank image), at the size the model gives.
#pragma once

#include "hosts/gtk/toolkit.h"

#include "platform/widgets/image.h"

namespace jc::gtk {

/// Shows `image` in `widget`: the icon theme's icon or the file the image names; the
/// pixel size is the image's width (16 when unknown).
/// A null image clears the widget.
void showImage(GtkImage* widget, const ImageRef& image);

}  // namespace jc::gtk
