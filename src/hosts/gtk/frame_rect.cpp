// Where a child of a frame view sits: its rectangle, kept on the child itself, for both
// GTKs' frame views.
#include "hosts/gtk/frame_view.h"

namespace jc::gtk {

namespace {

GQuark rectQuark() {
  static const GQuark quark = g_quark_from_static_string("jc-frame-rect");
  return quark;
}

}  // namespace

const FrameRect* frameRectOf(GtkWidget* child) {
  return static_cast<const FrameRect*>(g_object_get_qdata(G_OBJECT(child), rectQuark()));
}

void frameViewMove(GtkWidget* child, FrameRect rect) {
  const FrameRect* now = frameRectOf(child);
  if (now && now->x == rect.x && now->y == rect.y && now->width == rect.width &&
      now->height == rect.height)
    return;
  g_object_set_qdata_full(G_OBJECT(child), rectQuark(), new FrameRect(rect),
                          [](gpointer p) { delete static_cast<FrameRect*>(p); });
  if (GtkWidget* view = gtk_widget_get_parent(child)) gtk_widget_queue_resize(view);
}

FrameRect frameViewRect(GtkWidget* child) {
  const FrameRect* r = frameRectOf(child);
  return r ? *r : FrameRect{};
}

}  // namespace jc::gtk
