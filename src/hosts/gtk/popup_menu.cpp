// The pop-up in GTK 4: a drop-down whose list rows show a picture and the title, with
// separators drawn as rules that cannot be chosen.
#include "hosts/gtk/popup_menu.h"

#include <vector>

#include "hosts/gtk/images.h"
#include "hosts/gtk/style.h"

namespace jc::gtk {

namespace {

struct PopUpRows {
  std::shared_ptr<PopUpButton> popup;
};

void setupRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
  GtkWidget* image = gtk_image_new();
  gtk_image_set_pixel_size(GTK_IMAGE(image), 16);
  gtk_box_append(GTK_BOX(row), image);
  gtk_box_append(GTK_BOX(row), captionLabel(""));
  GtkWidget* rule = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_widget_set_hexpand(rule, TRUE);
  gtk_widget_set_valign(rule, GTK_ALIGN_CENTER);
  gtk_box_append(GTK_BOX(row), rule);
  gtk_list_item_set_child(item, row);
}

void bindRow(GtkSignalListItemFactory*, GtkListItem* item, gpointer data) {
  auto* rows = static_cast<PopUpRows*>(data);
  GtkWidget* row = gtk_list_item_get_child(item);
  GtkWidget* image = gtk_widget_get_first_child(row);
  GtkWidget* label = gtk_widget_get_next_sibling(image);
  GtkWidget* rule = gtk_widget_get_next_sibling(label);
  const MenuItem* menuItem = rows->popup->itemAtIndex(int(gtk_list_item_get_position(item)));
  bool separator = !menuItem || menuItem->separator;
  gtk_widget_set_visible(image, !separator);
  gtk_widget_set_visible(label, !separator);
  gtk_widget_set_visible(rule, separator);
  // GTK's drop-down has no separators of its own: the row is shown but cannot be chosen.
  bool choosable = !separator && menuItem->enabled;
  gtk_list_item_set_selectable(item, choosable);
  gtk_list_item_set_activatable(item, choosable);
  gtk_widget_set_sensitive(row, choosable);
  if (separator) return;
  gtk_label_set_text(GTK_LABEL(label), menuItem->title.c_str());
  showImage(GTK_IMAGE(image), menuItem->image);
}

std::vector<std::string> titlesOf(const PopUpButton& popup) {
  std::vector<std::string> titles;
  for (const MenuItem& item : popup.items()) titles.push_back(item.separator ? "" : item.title);
  return titles;
}

}  // namespace

GtkWidget* popUpMenuNew(std::shared_ptr<PopUpButton> popup) {
  GtkListItemFactory* factory = gtk_signal_list_item_factory_new();
  g_signal_connect(factory, "setup", G_CALLBACK(setupRow), nullptr);
  g_signal_connect_data(
      factory, "bind", G_CALLBACK(bindRow), new PopUpRows{std::move(popup)},
      [](gpointer rows, GClosure*) { delete static_cast<PopUpRows*>(rows); }, GConnectFlags(0));
  GtkWidget* dropDown = gtk_drop_down_new(G_LIST_MODEL(gtk_string_list_new(nullptr)), nullptr);
  gtk_drop_down_set_factory(GTK_DROP_DOWN(dropDown), factory);
  g_object_unref(factory);
  return dropDown;
}

void popUpMenuMirror(PopUpButton& popup, GtkWidget* dropDown) {
  auto* list = GTK_STRING_LIST(gtk_drop_down_get_model(GTK_DROP_DOWN(dropDown)));
  std::vector<std::string> titles = titlesOf(popup);
  bool same = g_list_model_get_n_items(G_LIST_MODEL(list)) == titles.size();
  for (guint i = 0; same && i < titles.size(); ++i)
    same = titles[i] == gtk_string_list_get_string(list, i);
  if (!same) {
    std::vector<const char*> items;
    items.reserve(titles.size() + 1);
    for (const auto& t : titles) items.push_back(t.c_str());
    items.push_back(nullptr);
    gtk_string_list_splice(list, 0, g_list_model_get_n_items(G_LIST_MODEL(list)), items.data());
  }
  int selected = popup.indexOfSelectedItem();
  gtk_drop_down_set_selected(GTK_DROP_DOWN(dropDown),
                             selected < 0 ? GTK_INVALID_LIST_POSITION : guint(selected));
}

int popUpMenuSelected(GtkWidget* dropDown) {
  guint index = gtk_drop_down_get_selected(GTK_DROP_DOWN(dropDown));
  return index == GTK_INVALID_LIST_POSITION ? -1 : int(index);
}

}  // namespace jc::gtk
