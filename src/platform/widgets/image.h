// Images as the panel sees them: a named picture with a size in points.
#pragma once

#include <memory>
#include <string>

namespace jc {

/// An image with a name and a size in points: a file's path, or the name of an icon of
/// the desktop's icon theme. Headless code only keeps identity and size; a GUI host
/// decides how to draw it.
struct Image {
  /// Where the picture comes from, which says how `name` is read.
  enum class Source { File, ThemeIcon };
  std::string name;
  double width = 0;
  double height = 0;
  Source source = Source::File;
};

using ImageRef = std::shared_ptr<const Image>;

/// Reads the pixel size of a PNG file (from its IHDR chunk).
/// Returns an image named after `path` with that size, or nullptr when the file is missing
/// or is not a PNG.
ImageRef loadPngImage(const std::string& path);

}  // namespace jc
