// Dimming and restoring text fields: labels turn grey, input fields also stop taking input
// and give up keyboard focus.
#pragma once

#include "platform/widgets/text_field.h"

/// Dims (`dim` true) or restores a text field. A label (tag 0) only changes its text
/// colour, grey or black. An input field (non-zero tag) also becomes neither editable nor
/// selectable when dimmed, both when restored, and then moves the keyboard focus of its
/// window: away from every control when dimmed, to itself when restored. It acts on every
/// call, also when the field is already so. The absent field ignores it.
void myTz630eJCHilite(jc::TextField& field, bool dim);
