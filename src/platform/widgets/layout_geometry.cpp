// Frames through content areas, and the overlap check of a layout's pages.
#include "platform/widgets/layout_geometry.h"

namespace jc {

Control::Frame frameIn(const Control& control, const Control* ancestor) {
  Control::Frame frame = control.frame();
  for (const Control* up = control.parent(); up && up != ancestor; up = up->parent()) {
    frame.x += up->frame().x + up->contentOrigin().x;
    frame.y += up->frame().y + up->contentOrigin().y;
  }
  return frame;
}

namespace {

struct Placed {
  const Control* control;
  Control::Frame frame;  // in the page's coordinates
};

bool covers(const Control::Frame& a, const Control::Frame& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool isAbove(const Control* above, const Control* below) {
  for (const Control* up = below->parent(); up; up = up->parent())
    if (up == above) return true;
  return false;
}

// Collects the controls of the page whose content `page` holds, in tree order; the
// contents of tabs below it are pages of their own and go to `pages`.
void collect(const Control& node, const Control& page, std::vector<Placed>& placed,
             std::vector<const Control*>& pages) {
  for (const auto& child : node.children()) {
    const Control& c = *child;
    if (c.kind() == Control::Kind::TabViewItem) {
      pages.push_back(&c);
      continue;
    }
    // A matrix is the rows it draws; the frame around them only places them.
    bool takesSpace = c.kind() != Control::Kind::Matrix && c.kind() != Control::Kind::View;
    Control::Frame frame = frameIn(c, &page);
    if (takesSpace && frame.width > 0 && frame.height > 0) placed.push_back({&c, frame});
    collect(c, page, placed, pages);
  }
}

}  // namespace

std::vector<Overlap> findOverlaps(const Control& root) {
  std::vector<Overlap> overlaps;
  std::vector<const Control*> pages{&root};
  for (std::size_t p = 0; p < pages.size(); ++p) {
    std::vector<Placed> placed;
    collect(*pages[p], *pages[p], placed, pages);
    for (std::size_t i = 0; i < placed.size(); ++i)
      for (std::size_t j = i + 1; j < placed.size(); ++j)
        if (covers(placed[i].frame, placed[j].frame) &&
            !isAbove(placed[i].control, placed[j].control))
          overlaps.push_back({placed[i].control, placed[j].control});
  }
  return overlaps;
}

}  // namespace jc
