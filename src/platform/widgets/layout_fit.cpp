// Frames widened to their captions' natural widths, one content area at a time, from the
// innermost out: each area's controls first take their own widths, then move right where
// something to their left on their rows grew, then the area's holder grows around them.
#include "platform/widgets/layout_fit.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/widgets/button.h"

namespace jc {

namespace {

using Band = std::pair<int, int>;  // a vertical extent [top, bottom)

// One control of a content area: where the layout put it, and where it goes.
struct Item {
  Control* control;
  Control::Frame old;
  int x;
  int width;
  std::vector<Band> bands;  // the rows it takes (a matrix: its rows, not their gaps)
};

std::vector<Band> bandsOf(const Control& control) {
  Control::Frame f = control.frame();
  if (control.kind() != Control::Kind::Matrix) return {{f.y, f.y + f.height}};
  const auto& matrix = static_cast<const Matrix&>(control);
  std::vector<Band> bands;
  for (int row = 0; row < matrix.numberOfRows(); ++row) {
    Control::Frame cell = matrix.frameOfCellAtRow(row);
    bands.emplace_back(f.y + cell.y, f.y + cell.y + cell.height);
  }
  return bands;
}

bool shareRows(const Item& a, const Item& b) {
  for (auto [aTop, aBottom] : a.bands)
    for (auto [bTop, bBottom] : b.bands)
      if (aTop < bBottom && bTop < aBottom) return true;
  return false;
}

int rightOf(const Control::Frame& f) {
  return f.x + f.width;
}

class Fitter {
 public:
  explicit Fitter(const NaturalWidth& natural) : natural_(natural) {}

  // Fits what `control` holds, then the control itself: its new width (not yet set).
  int widthOf(Control& control) {
    const Control::Frame f = control.frame();
    int width = std::max(f.width, natural_(control));
    switch (control.kind()) {
      case Control::Kind::View:
      case Control::Kind::Box:
        width = std::max(width, fitArea(control, f.width));
        break;
      case Control::Kind::TabView:
        for (const auto& tab : control.children()) width = std::max(width, fitArea(*tab, f.width));
        break;
      case Control::Kind::Matrix:
        for (const auto& cell : control.children()) width = std::max(width, natural_(*cell));
        break;
      default:
        break;
    }
    return width;
  }

  // Fits the controls of the content area of `holder`, `width` wide; answers the width the
  // area needs now.
  int fitArea(Control& holder, int width) {
    std::vector<Item> items;
    items.reserve(holder.children().size());
    for (const auto& child : holder.children()) {
      Control::Frame old = child->frame();
      items.push_back({child.get(), old, old.x, widthOf(*child), bandsOf(*child)});
    }
    shareBoxWidths(items);
    moveRight(items);
    int needed = width;
    for (const Item& item : items) {
      place(item);
      const int margin = std::min(width - rightOf(item.old), kFitEdgeMargin);
      needed = std::max(needed, item.x + item.width + margin);
    }
    return needed;
  }

  // Boxes stacked at one place and width stay alike: the widest need sets them all.
  static void shareBoxWidths(std::vector<Item>& items) {
    for (Item& a : items)
      for (Item& b : items)
        if (a.control->kind() == Control::Kind::Box && b.control->kind() == Control::Kind::Box &&
            a.old.x == b.old.x && a.old.width == b.old.width)
          a.width = b.width = std::max(a.width, b.width);
  }

  // Left to right, a column (one declared x) at a time: each control moves to keep its gap
  // to whatever stood left of it on its rows, and its column moves with it.
  static void moveRight(std::vector<Item>& items) {
    std::vector<Item*> order;
    order.reserve(items.size());
    for (Item& item : items) order.push_back(&item);
    std::stable_sort(order.begin(), order.end(),
                     [](const Item* a, const Item* b) { return a->old.x < b->old.x; });
    for (std::size_t first = 0; first < order.size();) {
      std::size_t end = first;
      int x = order[first]->old.x;
      while (end < order.size() && order[end]->old.x == order[first]->old.x) {
        const Item& b = *order[end++];
        for (std::size_t i = 0; i < first; ++i) {
          const Item& a = *order[i];
          if (rightOf(a.old) <= b.old.x && shareRows(a, b))
            x = std::max(x, a.x + a.width + (b.old.x - rightOf(a.old)));
        }
      }
      for (; first < end; ++first) order[first]->x = x;
    }
  }

  void place(const Item& item) {
    Control::Frame f = item.old;
    f.x = item.x;
    f.width = item.width;
    if (f == item.old) return;
    changed_ = true;
    item.control->setFrame(f);
    if (item.control->kind() != Control::Kind::Matrix) return;
    auto& matrix = static_cast<Matrix&>(*item.control);
    for (int row = 0; row < matrix.numberOfRows(); ++row)
      matrix.cellAtRow(row)->setFrame(matrix.frameOfCellAtRow(row));
  }

  bool changed() const { return changed_; }

 private:
  const NaturalWidth& natural_;
  bool changed_ = false;
};

}  // namespace

bool fitToNaturalWidths(Control& root, const NaturalWidth& natural) {
  Fitter fitter(natural);
  Control::Frame f = root.frame();
  Item whole{&root, f, f.x, fitter.widthOf(root), {}};
  fitter.place(whole);
  return fitter.changed();
}

}  // namespace jc
