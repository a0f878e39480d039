// Renders the print dialog with the Job Control tab to PNG files for the documentation: the
// tab with retention on, a pass code and "Advanced" open, and the folder pop-up open over it
// (with "Advanced" folded).
//
//   gtk_screenshot BUNDLE OUTDIR LANGUAGE   (LANGUAGE "en", "de", "ja", ...)
//
// Writes OUTDIR/gtk-tab-LANGUAGE.png and OUTDIR/gtk-folders-LANGUAGE.png.
#include <cairo.h>
#include <gtk/gtk.h>
#include <libintl.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "hosts/gtk/jobcontrol-gtk.h"
#include "hosts/gtk/print_tab.h"
#include "printer_simulator.h"

namespace {

void serve(int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until)
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
}

// The widget drawn into an image surface of its own size.
cairo_surface_t* render(GtkWidget* widget) {
  int width = gtk_widget_get_width(widget), height = gtk_widget_get_height(widget);
  GdkPaintable* paintable = gtk_widget_paintable_new(widget);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(paintable, snapshot, width, height);
  GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  if (node) {
    gsk_render_node_draw(node, cr);
    gsk_render_node_unref(node);
  }
  cairo_destroy(cr);
  g_object_unref(paintable);
  return surface;
}

GtkWidget* findNotebook(GtkWidget* widget, GtkWidget* page) {
  if (GTK_IS_NOTEBOOK(widget) && gtk_notebook_page_num(GTK_NOTEBOOK(widget), page) >= 0)
    return widget;
  for (GtkWidget* c = gtk_widget_get_first_child(widget); c; c = gtk_widget_get_next_sibling(c))
    if (GtkWidget* found = findNotebook(c, page)) return found;
  return nullptr;
}

GtkWidget* findPopover(GtkWidget* widget) {
  if (GTK_IS_POPOVER(widget)) return widget;
  for (GtkWidget* c = gtk_widget_get_first_child(widget); c; c = gtk_widget_get_next_sibling(c))
    if (GtkWidget* found = findPopover(c)) return found;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: gtk_screenshot BUNDLE OUTDIR LANGUAGE\n");
    return 2;
  }
  std::string bundle = argv[1], out = argv[2], language = argv[3];
  setenv("LANGUAGE", language == "en" ? "" : language.c_str(), 1);
  std::setlocale(LC_ALL, "C.UTF-8");
  if (!gtk_init_check()) return 77;

  auto* dialog = GTK_PRINT_UNIX_DIALOG(gtk_print_unix_dialog_new("Print", nullptr));
  gtk_window_set_default_size(GTK_WINDOW(dialog), 760, 600);
  if (!jobcontrol_gtk_add_tab(dialog, "report.pdf", bundle.c_str(), nullptr)) return 1;
  jc::gtk::PrintTab* tab = jc::gtk::PrintTab::of(dialog);
  jc::gtk::PrinterInfo printer;
  printer.id = "MFP";
  printer.deviceURI = "ipp://192.0.2.7/ipp/print";
  printer.ppd = std::move(
      jc::openPPDFile(std::string(JOBCONTROL_SOURCE_DIR) + "/tools/ppd/vorelia-demo.ppd").value());
  tab->showPrinter(std::move(printer));
  auto widget = [&](const char* outlet) { return tab->binding()->widgetNamed(outlet); };

  gtk_window_present(GTK_WINDOW(dialog));
  serve(300);
  GtkWidget* notebook = findNotebook(GTK_WIDGET(dialog), tab->page());
  if (notebook)
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook),
                                  gtk_notebook_page_num(GTK_NOTEBOOK(notebook), tab->page()));
  gtk_widget_activate(widget("retentionCheckBox"));
  gtk_drop_down_set_selected(GTK_DROP_DOWN(widget("folderSelectionPopup")), 1);
  int at = 0;
  gtk_editable_insert_text(GTK_EDITABLE(widget("suspendKeyEditText")), "1234", -1, &at);
  g_signal_emit_by_name(widget("suspendKeyButton"), "clicked");
  // The printer's folders, fetched as the person would: from the printer simulator.
  jc::sim::Config folders;
  folders.folders = {{"Projects", false, true}, {"Finance", true, true}, {"Archive", false, true}};
  jc::sim::PrinterSimulator simulator(folders);
  if (!simulator.start()) return 1;
  GtkWidget* address = widget("printersAddressEditText");
  gtk_editable_delete_text(GTK_EDITABLE(address), 0, -1);
  at = 0;
  gtk_editable_insert_text(GTK_EDITABLE(address), simulator.address().c_str(), -1, &at);
  g_signal_emit_by_name(widget("getFolderNameButton"), "clicked");
  gtk_editable_delete_text(GTK_EDITABLE(address), 0, -1);
  at = 0;
  gtk_editable_insert_text(GTK_EDITABLE(address), "192.0.2.7", -1, &at);
  gtk_expander_set_expanded(GTK_EXPANDER(tab->advanced()), TRUE);
  serve(400);

  cairo_surface_t* shot = render(GTK_WIDGET(dialog));
  std::string tabFile = out + "/gtk-tab-" + language + ".png";
  cairo_surface_write_to_png(shot, tabFile.c_str());

  // "Advanced" folded again: the pop-up's list would hide its row.
  gtk_expander_set_expanded(GTK_EXPANDER(tab->advanced()), FALSE);
  serve(300);
  cairo_surface_destroy(shot);
  shot = render(GTK_WIDGET(dialog));
  // The pop-up's list is a surface of its own: drawn onto the dialog below its button.
  GtkWidget* dropDown = widget("folderSelectionPopup");
  gtk_widget_activate(dropDown);
  GtkWidget* popover = nullptr;
  for (int i = 0; i < 100 && !(popover && gtk_widget_get_mapped(popover)); ++i) {
    serve(50);
    popover = findPopover(dropDown);
  }
  serve(300);
  if (popover && gtk_widget_get_mapped(popover)) {
    graphene_point_t below;
    graphene_point_t origin = GRAPHENE_POINT_INIT(0, float(gtk_widget_get_height(dropDown)));
    if (gtk_widget_compute_point(dropDown, GTK_WIDGET(dialog), &origin, &below)) {
      cairo_surface_t* list = render(popover);
      cairo_t* cr = cairo_create(shot);
      cairo_set_source_surface(cr, list, below.x - 8, below.y - 4);
      cairo_paint(cr);
      cairo_destroy(cr);
      cairo_surface_destroy(list);
    }
  }
  std::string folderFile = out + "/gtk-folders-" + language + ".png";
  cairo_surface_write_to_png(shot, folderFile.c_str());
  cairo_surface_destroy(shot);
  std::printf("%s\n%s\n", tabFile.c_str(), folderFile.c_str());
  return 0;
}
