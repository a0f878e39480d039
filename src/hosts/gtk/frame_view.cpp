// The frame view widget: measures as the union of its children's frames and allocates
// every child its frame, so what the layout says is what the person sees.
#include "hosts/gtk/frame_view.h"

#include <algorithm>

namespace {

struct JcFrameView {
  GtkWidget parent_instance;
};
struct JcFrameViewClass {
  GtkWidgetClass parent_class;
};

G_DEFINE_TYPE(JcFrameView, jc_frame_view, GTK_TYPE_WIDGET)

using jc::gtk::frameRectOf;

void measure(GtkWidget* widget, GtkOrientation orientation, int, int* minimum, int* natural, int*,
             int*) {
  int extent = 0;
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    const jc::gtk::FrameRect* r = frameRectOf(child);
    if (!r || !gtk_widget_get_visible(child)) continue;
    extent = std::max(
        extent, orientation == GTK_ORIENTATION_HORIZONTAL ? r->x + r->width : r->y + r->height);
  }
  *minimum = *natural = extent;
}

void sizeAllocate(GtkWidget* widget, int, int, int) {
  for (GtkWidget* child = gtk_widget_get_first_child(widget); child;
       child = gtk_widget_get_next_sibling(child)) {
    const jc::gtk::FrameRect* r = frameRectOf(child);
    if (!r || !gtk_widget_should_layout(child)) continue;
    // GTK wants every widget measured before it is given a size.
    gtk_widget_get_preferred_size(child, nullptr, nullptr);
    GtkAllocation allocation{r->x, r->y, r->width, r->height};
    gtk_widget_size_allocate(child, &allocation, -1);
  }
}

void dispose(GObject* object) {
  while (GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(object)))
    gtk_widget_unparent(child);
  G_OBJECT_CLASS(jc_frame_view_parent_class)->dispose(object);
}

void jc_frame_view_class_init(JcFrameViewClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = dispose;
  GTK_WIDGET_CLASS(klass)->measure = measure;
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
  gtk_widget_set_parent(child, view);
}

}  // namespace jc::gtk
