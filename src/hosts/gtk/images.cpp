// Model images shown by GTK image widgets; files are decoded once and kept.
#include "hosts/gtk/images.h"

#include <map>
#include <string>

#include "hosts/gtk/gobject_ref.h"

namespace jc::gtk {

namespace {

#if JC_GTK3
using Picture = GdkPixbuf;
Picture* decode(const std::string& path) {
  return gdk_pixbuf_new_from_file(path.c_str(), nullptr);
}
void show(GtkImage* widget, Picture* picture) {
  gtk_image_set_from_pixbuf(widget, picture);
}
void showIcon(GtkImage* widget, const std::string& name) {
  gtk_image_set_from_icon_name(widget, name.c_str(), GTK_ICON_SIZE_MENU);
}
#else
using Picture = GdkTexture;
Picture* decode(const std::string& path) {
  return gdk_texture_new_from_filename(path.c_str(), nullptr);
}
void show(GtkImage* widget, Picture* picture) {
  gtk_image_set_from_paintable(widget, GDK_PAINTABLE(picture));
}
void showIcon(GtkImage* widget, const std::string& name) {
  gtk_image_set_from_icon_name(widget, name.c_str());
}
#endif

}  // namespace

void showImage(GtkImage* widget, const ImageRef& image) {
  if (!image) {
    gtk_image_clear(widget);
    return;
  }
  if (image->source == Image::Source::ThemeIcon) showIcon(widget, image->name);
  // The pixel size set after the icon: GTK 3 takes the icon's size from the last call.
  gtk_image_set_pixel_size(widget, image->width > 0 ? int(image->width) : 16);
  if (image->source == Image::Source::ThemeIcon) return;
  // Every protected-or-not folder row shows the same blank picture: decode it once.
  static std::map<std::string, ObjectRef<Picture>> pictures;
  auto it = pictures.find(image->name);
  if (it == pictures.end())
    it = pictures.emplace(image->name, ObjectRef<Picture>::adopt(decode(image->name))).first;
  if (it->second)
    show(widget, it->second.get());
  else
    gtk_image_clear(widget);
}

}  // namespace jc::gtk
