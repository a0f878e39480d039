// Where controls sit relative to each other: frames carried up through their parents'
// content areas, and the controls of one page that cover each other.
#pragma once

#include <vector>

#include "platform/widgets/control.h"

namespace jc {

/// The content origin layouts of version 2 give a titled box: its content starts this far
/// below the box's top edge (the title band). An untitled box has no band.
inline constexpr int kBoxTitleHeight = 18;
/// The content origin layouts of version 2 give a tab view: each tab's content starts this
/// far below the tab view's top edge (the tab strip).
inline constexpr int kTabStripHeight = 28;

/// The frame of `control` in the content coordinates of `ancestor` (nullptr: the root of
/// its tree): its own frame moved by the frame and content origin of every control between
/// them. An `ancestor` that is not above `control` counts as the root.
Control::Frame frameIn(const Control& control, const Control* ancestor = nullptr);

/// Two controls of one page whose declared frames cover a common area.
struct Overlap {
  const Control* first;   ///< the one that comes first in the tree
  const Control* second;  ///< the one that comes later
};

/// The overlaps among the controls of one page of the tree under `root`. A page is the
/// content of one tab, or everything outside every tab (where a tab view is one control).
/// Every control that takes space counts, with its declared frame: a box against the
/// controls outside it, a matrix by its cells (the space between rows is free), never a
/// control against what it contains. Frames of zero width or height take no space.
std::vector<Overlap> findOverlaps(const Control& root);

}  // namespace jc
