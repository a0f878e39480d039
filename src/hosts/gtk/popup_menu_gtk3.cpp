// The pop-up in GTK 3: a combo box over a list of rows (picture, title, whether it can be
// chosen, whether it is a separator); GTK 3 draws separators itself.
#include <vector>

#include "hosts/gtk/popup_menu.h"

namespace jc::gtk {

namespace {

enum Column { kTitle, kIcon, kChoosable, kSeparator, kColumns };

// A picture GTK 3's cell renderer draws: the theme's icon, or the file.
GIcon* iconOf(const ImageRef& image) {
  if (!image) return nullptr;
  if (image->source == Image::Source::ThemeIcon) return g_themed_icon_new(image->name.c_str());
  GFile* file = g_file_new_for_path(image->name.c_str());
  GIcon* icon = g_file_icon_new(file);
  g_object_unref(file);
  return icon;
}

// What a row shows, to tell whether the list must be rebuilt.
struct Row {
  std::string title, image;
  bool choosable, separator;
  bool operator==(const Row&) const = default;
};

std::vector<Row> rowsOf(const PopUpButton& popup) {
  std::vector<Row> rows;
  for (const MenuItem& item : popup.items())
    rows.push_back({item.separator ? "" : item.title, item.image ? item.image->name : "",
                    !item.separator && item.enabled, item.separator});
  return rows;
}

std::vector<Row> rowsShown(GtkTreeModel* model) {
  std::vector<Row> rows;
  GtkTreeIter it;
  for (gboolean more = gtk_tree_model_get_iter_first(model, &it); more;
       more = gtk_tree_model_iter_next(model, &it)) {
    gchar* title = nullptr;
    GIcon* icon = nullptr;
    gboolean choosable = FALSE, separator = FALSE;
    gtk_tree_model_get(model, &it, kTitle, &title, kIcon, &icon, kChoosable, &choosable, kSeparator,
                       &separator, -1);
    gchar* image = icon ? g_icon_to_string(icon) : nullptr;
    rows.push_back({title ? title : "", image ? image : "", bool(choosable), bool(separator)});
    g_free(image);
    g_free(title);
    if (icon) g_object_unref(icon);
  }
  return rows;
}

// The image names as the list keeps them (a themed icon's or a file's string form).
std::vector<Row> asShown(std::vector<Row> rows, const PopUpButton& popup) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    GIcon* icon = iconOf(popup.items()[i].image);
    gchar* text = icon ? g_icon_to_string(icon) : nullptr;
    rows[i].image = text ? text : "";
    g_free(text);
    if (icon) g_object_unref(icon);
  }
  return rows;
}

}  // namespace

GtkWidget* popUpMenuNew(std::shared_ptr<PopUpButton>) {
  GtkListStore* store =
      gtk_list_store_new(kColumns, G_TYPE_STRING, G_TYPE_ICON, G_TYPE_BOOLEAN, G_TYPE_BOOLEAN);
  GtkWidget* combo = gtk_combo_box_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);
  GtkCellRenderer* picture = gtk_cell_renderer_pixbuf_new();
  gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(combo), picture, FALSE);
  gtk_cell_layout_set_attributes(GTK_CELL_LAYOUT(combo), picture, "gicon", kIcon, "sensitive",
                                 kChoosable, nullptr);
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  g_object_set(text, "ellipsize", PANGO_ELLIPSIZE_END, nullptr);
  gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(combo), text, TRUE);
  gtk_cell_layout_set_attributes(GTK_CELL_LAYOUT(combo), text, "text", kTitle, "sensitive",
                                 kChoosable, nullptr);
  gtk_combo_box_set_row_separator_func(
      GTK_COMBO_BOX(combo),
      [](GtkTreeModel* model, GtkTreeIter* it, gpointer) {
        gboolean separator = FALSE;
        gtk_tree_model_get(model, it, kSeparator, &separator, -1);
        return separator;
      },
      nullptr, nullptr);
  return combo;
}

void popUpMenuMirror(PopUpButton& popup, GtkWidget* combo) {
  GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(combo));
  std::vector<Row> wanted = asShown(rowsOf(popup), popup);
  if (rowsShown(model) != wanted) {
    GtkListStore* store = GTK_LIST_STORE(model);
    gtk_list_store_clear(store);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      GIcon* icon = iconOf(popup.items()[i].image);
      gtk_list_store_insert_with_values(store, nullptr, -1, kTitle, wanted[i].title.c_str(), kIcon,
                                        icon, kChoosable, wanted[i].choosable, kSeparator,
                                        wanted[i].separator, -1);
      if (icon) g_object_unref(icon);
    }
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), popup.indexOfSelectedItem());
}

int popUpMenuSelected(GtkWidget* combo) {
  return gtk_combo_box_get_active(GTK_COMBO_BOX(combo));
}

}  // namespace jc::gtk
