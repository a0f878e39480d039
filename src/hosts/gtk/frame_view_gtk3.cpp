// The frame view in GTK 3: a GtkFixed that asks for the union of its children's frames and
// gives every child its frame, not the child's own size (GtkFixed's way), so what the
// layout says is what the person sees.
#include <algorithm>

#include "hosts/gtk/frame_view.h"

namespace {

struct JcFrameView {
  GtkFixed parent_instance;
};
struct JcFrameViewClass {
  GtkFixedClass parent_class;
};

G_DEFINE_TYPE(JcFrameView, jc_frame_view, GTK_TYPE_FIXED)

using jc::gtk::frameRectOf;

struct Extent {
  bool horizontal;
  int extent = 0;
};

void preferred(GtkWidget* widget, bool horizontal, int* minimum, int* natural) {
  Extent e{horizontal};
  gtk_container_forall(
      GTK_CONTAINER(widget),
      [](GtkWidget* child, gpointer data) {
        auto* e = static_cast<Extent*>(data);
        const jc::gtk::FrameRect* r = frameRectOf(child);
        if (!r || !gtk_widget_get_visible(child)) return;
        e->extent = std::max(e->extent, e->horizontal ? r->x + r->width : r->y + r->height);
      },
      &e);
  *minimum = *natural = e.extent;
}

void preferredWidth(GtkWidget* widget, int* minimum, int* natural) {
  preferred(widget, true, minimum, natural);
}
void preferredHeight(GtkWidget* widget, int* minimum, int* natural) {
  preferred(widget, false, minimum, natural);
}

void sizeAllocate(GtkWidget* widget, GtkAllocation* allocation) {
  gtk_widget_set_allocation(widget, allocation);
  gtk_container_forall(
      GTK_CONTAINER(widget),
      [](GtkWidget* child, gpointer data) {
        const auto* at = static_cast<const GtkAllocation*>(data);
        const jc::gtk::FrameRect* r = frameRectOf(child);
        if (!r || !gtk_widget_get_visible(child)) return;
        // GTK wants every widget measured before it is given a size.
        GtkRequisition ignored;
        gtk_widget_get_preferred_size(child, &ignored, nullptr);
        // A window-less container's children are placed in its parent's coordinates.
        GtkAllocation a{at->x + r->x, at->y + r->y, r->width, r->height};
        gtk_widget_size_allocate(child, &a);
      },
      allocation);
}

void jc_frame_view_class_init(JcFrameViewClass* klass) {
  GTK_WIDGET_CLASS(klass)->get_preferred_width = preferredWidth;
  GTK_WIDGET_CLASS(klass)->get_preferred_height = preferredHeight;
  GTK_WIDGET_CLASS(klass)->size_allocate = sizeAllocate;
}

void jc_frame_view_init(JcFrameView*) {}

}  // namespace

namespace jc::gtk {

GtkWidget* frameViewNew() {
  return GTK_WIDGET(g_object_new(jc_frame_view_get_type(), nullptr));
}

void frameViewPut(GtkWidget* view, GtkWidget* child, FrameRect rect) {
  frameViewMove(child, rect);
  gtk_fixed_put(GTK_FIXED(view), child, rect.x, rect.y);
}

}  // namespace jc::gtk
