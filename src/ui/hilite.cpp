// Text-field dimming, shared by every enable rule that governs a label or an input field.
#include "ui/hilite.h"

void myTz630eJCHilite(jc::TextField& field, bool dim) {
  field.setTextColor(dim ? jc::TextField::Color::Gray : jc::TextField::Color::Black);
  if (field.tag() == 0) return;  // a label: colour only
  field.setEditable(!dim);
  field.setSelectable(!dim);
  // A dimmed field must not keep the caret, and a field just made usable is where the
  // person will type next; the last rule of an action therefore decides the focus.
  if (jc::Window* window = field.window()) window->makeFirstResponder(dim ? nullptr : &field);
}
