// Model images shown by GTK image widgets; files are decoded once and kept.
#include "hosts/gtk/images.h"

#include <map>
#include <string>

#include "hosts/gtk/gobject_ref.h"

namespace jc::gtk {

void showImage(GtkImage* widget, const ImageRef& image) {
  if (!image) {
    gtk_image_clear(widget);
    return;
  }
  gtk_image_set_pixel_size(widget, image->width > 0 ? int(image->width) : 16);
  if (image->source == Image::Source::ThemeIcon) {
    gtk_image_set_from_icon_name(widget, image->name.c_str());
    return;
  }
  // Every protected-or-not folder row shows the same blank picture: decode it once.
  static std::map<std::string, ObjectRef<GdkTexture>> textures;
  auto it = textures.find(image->name);
  if (it == textures.end()) {
    GdkTexture* texture = gdk_texture_new_from_filename(image->name.c_str(), nullptr);
    it = textures.emplace(image->name, ObjectRef<GdkTexture>::adopt(texture)).first;
  }
  if (it->second)
    gtk_image_set_from_paintable(widget, GDK_PAINTABLE(it->second.get()));
  else
    gtk_image_clear(widget);
}

}  // namespace jc::gtk
