// The widget of a pop-up button: its items with their pictures (padlock or blank) and
// titles, separators shown but never chosen. GTK 4 draws it as a drop-down, GTK 3 as a
// combo box; the binding sees only these calls.
#pragma once

#include <memory>

#include "hosts/gtk/toolkit.h"
#include "platform/widgets/popup_button.h"

namespace jc::gtk {

/// A new widget (floating) for `popup`. A change of row is signalled as "notify::selected"
/// in GTK 4 and "changed" in GTK 3.
GtkWidget* popUpMenuNew(std::shared_ptr<PopUpButton> popup);
/// Shows the model's items and its selected row; the rows are rebuilt only when the items
/// changed, so an open list is not reset by a selection.
void popUpMenuMirror(PopUpButton& popup, GtkWidget* widget);
/// The row the widget shows as chosen, or -1 for none.
int popUpMenuSelected(GtkWidget* widget);

}  // namespace jc::gtk
