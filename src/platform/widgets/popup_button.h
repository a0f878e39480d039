// Pop-up buttons and their menu items.
#pragma once

#include <any>
#include <string>
#include <vector>

#include "platform/widgets/control.h"

namespace jc {

/// One item of a pop-up menu.
struct MenuItem {
  std::string title;
  ImageRef image;
  bool separator = false;
  bool enabled = true;
  std::string keyEquivalent;
  /// Whatever the menu's builder attached to the item (for example the choice it stands
  /// for); empty when nothing was attached. Read back with std::any_cast.
  std::any representedObject{};
};

/// A pop-up button: a menu of items, one of which is selected.
class PopUpButton : public Control {
 public:
  PopUpButton() : Control(Kind::PopUpButton) {}
  explicit PopUpButton(AbsentTag t) : Control(Kind::PopUpButton, t) {}

  int numberOfItems() const { return static_cast<int>(items_.size()); }
  const std::vector<MenuItem>& items() const { return items_; }
  /// The item at `index`, or nullptr outside the menu.
  const MenuItem* itemAtIndex(int index) const;
  /// The selected index: -1 when nothing is selected; 0 on the absent pop-up.
  int indexOfSelectedItem() const { return selected_; }
  /// The selected item's title, "" when none.
  std::string titleOfSelectedItem() const;

  /// Selects `index`; an index outside the menu, or a separator, selects nothing (-1).
  /// Does not send the action.
  void selectItemAtIndex(int index);
  /// Appends an item titled `title`; the first item of an empty menu becomes selected.
  void addItemWithTitle(std::string title);
  void addItem(MenuItem item);
  void addSeparatorItem();
  /// Removes the item at `index`; the selection follows its item, or is lost with it.
  void removeItemAtIndex(int index);
  void removeAllItems();
  void setItemTitle(int index, std::string title);
  void setItemImage(int index, ImageRef image);
  /// The user's choice of `index`: refused when the pop-up is disabled, or the item is a
  /// separator, disabled or missing; otherwise selects it and sends the action.
  bool chooseItem(int index);

 private:
  std::vector<MenuItem> items_;
  int selected_ = 0;
};

}  // namespace jc
