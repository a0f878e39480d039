// The GTK the binding is compiled for. The binding is written in GTK 4's calls; compiled for
// GTK 3 (the print dialog module), this header supplies the ones GTK 3 lacks in GTK 3's
// terms, so both toolkits share one binding and the differences stay in one place. What
// cannot be said this way (the frame view, the pop-up, focus and measuring) has a
// GTK 3 file of its own or a `#if JC_GTK3` of a few lines where it is used.
#pragma once

#include <gtk/gtk.h>
#include <gtk/gtkunixprint.h>

#define JC_GTK3 (GTK_MAJOR_VERSION == 3)

#if JC_GTK3

inline void gtk_box_append(GtkBox* box, GtkWidget* child) {
  gtk_box_pack_start(box, child, FALSE, FALSE, 0);
}
inline void gtk_box_remove(GtkBox* box, GtkWidget* child) {
  gtk_container_remove(GTK_CONTAINER(box), child);
}
/// The first child of a container (borrowed), or nullptr.
inline GtkWidget* gtk_widget_get_first_child(GtkWidget* widget) {
  if (!GTK_IS_CONTAINER(widget)) return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* first = children ? GTK_WIDGET(children->data) : nullptr;
  g_list_free(children);
  return first;
}
inline void gtk_button_set_child(GtkButton* button, GtkWidget* child) {
  gtk_container_add(GTK_CONTAINER(button), child);
}
inline GtkWidget* gtk_button_get_child(GtkButton* button) {
  return gtk_bin_get_child(GTK_BIN(button));
}
inline void gtk_check_button_set_child(GtkCheckButton* button, GtkWidget* child) {
  gtk_container_add(GTK_CONTAINER(button), child);
}
inline GtkWidget* gtk_check_button_get_child(GtkCheckButton* button) {
  return gtk_bin_get_child(GTK_BIN(button));
}
inline void gtk_check_button_set_active(GtkCheckButton* button, gboolean on) {
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(button), on);
}
inline gboolean gtk_check_button_get_active(GtkCheckButton* button) {
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button));
}
inline void gtk_check_button_set_inconsistent(GtkCheckButton* button, gboolean on) {
  gtk_toggle_button_set_inconsistent(GTK_TOGGLE_BUTTON(button), on);
}
inline void gtk_expander_set_child(GtkExpander* expander, GtkWidget* child) {
  gtk_container_add(GTK_CONTAINER(expander), child);
}
inline void gtk_widget_add_css_class(GtkWidget* widget, const char* name) {
  gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}
inline void gtk_widget_remove_css_class(GtkWidget* widget, const char* name) {
  gtk_style_context_remove_class(gtk_widget_get_style_context(widget), name);
}
// In GTK 3 the entry is its own editable text.
inline GtkEditable* gtk_editable_get_delegate(GtkEditable* editable) {
  return editable;
}
inline const char* gtk_editable_get_text(GtkEditable* editable) {
  return gtk_entry_get_text(GTK_ENTRY(editable));
}
inline void gtk_editable_set_text(GtkEditable* editable, const char* text) {
  gtk_entry_set_text(GTK_ENTRY(editable), text);
}
inline void gtk_editable_set_width_chars(GtkEditable* editable, int chars) {
  gtk_entry_set_width_chars(GTK_ENTRY(editable), chars);
}
inline void gtk_editable_set_max_width_chars(GtkEditable* editable, int chars) {
  gtk_entry_set_max_width_chars(GTK_ENTRY(editable), chars);
}
inline void gtk_label_set_wrap(GtkLabel* label, gboolean wrap) {
  gtk_label_set_line_wrap(label, wrap);
}
inline void gtk_window_destroy(GtkWindow* window) {
  gtk_widget_destroy(GTK_WIDGET(window));
}
inline void gtk_spinner_set_spinning(GtkSpinner* spinner, gboolean spinning) {
  if (spinning)
    gtk_spinner_start(spinner);
  else
    gtk_spinner_stop(spinner);
}
/// The cursor of the widget's window; nothing before the widget is realized.
inline void gtk_widget_set_cursor_from_name(GtkWidget* widget, const char* name) {
  GdkWindow* window = gtk_widget_get_window(widget);
  if (!window) return;
  GdkCursor* cursor =
      name ? gdk_cursor_new_from_name(gdk_window_get_display(window), name) : nullptr;
  gdk_window_set_cursor(window, cursor);
  if (cursor) g_object_unref(cursor);
}
inline void gtk_widget_set_cursor(GtkWidget* widget, GdkCursor*) {
  gtk_widget_set_cursor_from_name(widget, nullptr);
}

#endif
