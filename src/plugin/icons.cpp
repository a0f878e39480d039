// System icons as shared 18-point images, named after the icon theme's padlocks.
#include "plugin/icons.h"

#include <memory>

namespace jc {

namespace {

ImageRef makeIcon(const char* name) {
  return std::make_shared<const Image>(
      Image{name, kSystemIconSize, kSystemIconSize, Image::Source::ThemeIcon});
}

}  // namespace

ImageRef systemIcon(std::uint32_t iconType) {
  // Made once and kept: every hold button and protected folder shows the same object.
  static const ImageRef locked = makeIcon(kLockedIconName);
  static const ImageRef unlocked = makeIcon(kUnlockedIconName);
  static const ImageRef generic = makeIcon(kGenericIconName);
  switch (iconType) {
    case kLockedIcon:
      return locked;
    case kUnlockedIcon:
      return unlocked;
    default:
      return generic;
  }
}

}  // namespace jc

extern "C" const jc::Image* initWithSystemIconType(std::uint32_t iconType) {
  try {
    return jc::systemIcon(iconType).get();
  } catch (...) {
    return nullptr;  // only when the first call cannot allocate the images
  }
}
