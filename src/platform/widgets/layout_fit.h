// Fitting a layout to the captions a toolkit draws: frames widened to the width a caption
// needs in the language shown, and what sits beside them moved along, so no text is cut.
#pragma once

#include <functional>

#include "platform/widgets/control.h"

namespace jc {

/// The width, in points, a toolkit needs to draw `control` with its caption whole; 0 (or
/// anything not above the frame's width) when the declared frame is enough.
using NaturalWidth = std::function<int(const Control& control)>;

/// The space kept between a widened control and the right edge of the box, tab or view that
/// holds it, where the layout gave it at least this much.
inline constexpr int kFitEdgeMargin = 12;

/// Widens every control of the tree under `root` whose `natural` width exceeds its frame to
/// that width; a matrix takes the widest of its cells. The declared frames are minimums:
/// nothing gets narrower. What lay to the right of a widened control on the same rows (a
/// matrix counts by its rows) moves right by as much, keeping its gap; controls that stood
/// in one column still do; a box, tab view or view grows to hold what it contains, and boxes
/// that had the same place and width keep sharing them. So two controls that did not
/// overlap before do not overlap after. Answers whether any frame changed.
bool fitToNaturalWidths(Control& root, const NaturalWidth& natural);

}  // namespace jc
