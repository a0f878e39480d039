// A GTK container that puts each child exactly at its layout frame, whatever the child's
// natural size: the panel's pages, boxes and root view.
#pragma once

#include "hosts/gtk/toolkit.h"

namespace jc::gtk {

/// A rectangle in pixels, relative to the containing frame view.
struct FrameRect {
  int x = 0, y = 0, width = 0, height = 0;
};

/// A new, empty frame view (floating reference, like every new GTK widget).
GtkWidget* frameViewNew();
/// Makes `child` a child of `view`, placed and sized at `rect`.
void frameViewPut(GtkWidget* view, GtkWidget* child, FrameRect rect);
/// Moves `child`, put in a frame view before (or about to be), to `rect`.
void frameViewMove(GtkWidget* child, FrameRect rect);
/// The rectangle `child` was put at; all zero for a widget not put in a frame view.
FrameRect frameViewRect(GtkWidget* child);
/// The rectangle `child` was put at, or nullptr (for the frame view widgets themselves).
const FrameRect* frameRectOf(GtkWidget* child);

}  // namespace jc::gtk
