// Pop-up buttons and their menus.
#include "platform/widgets/popup_button.h"

namespace jc {

const MenuItem* PopUpButton::itemAtIndex(int index) const {
  if (index < 0 || index >= numberOfItems()) return nullptr;
  return &items_[static_cast<std::size_t>(index)];
}

std::string PopUpButton::titleOfSelectedItem() const {
  const MenuItem* item = itemAtIndex(selected_);
  return item ? item->title : std::string();
}

void PopUpButton::selectItemAtIndex(int index) {
  change([&] {
    const MenuItem* item = itemAtIndex(index);
    selected_ = (item && !item->separator) ? index : -1;
  });
}

void PopUpButton::addItemWithTitle(std::string title) {
  addItem(MenuItem{std::move(title), nullptr, false, true, ""});
}

void PopUpButton::addItem(MenuItem item) {
  change([&] {
    items_.push_back(std::move(item));
    if (items_.size() == 1) selected_ = items_.front().separator ? -1 : 0;
  });
}

void PopUpButton::addSeparatorItem() {
  addItem(MenuItem{"", nullptr, true, false, ""});
}

void PopUpButton::removeItemAtIndex(int index) {
  if (!itemAtIndex(index)) return;
  change([&] {
    items_.erase(items_.begin() + index);
    if (selected_ == index)
      selected_ = -1;
    else if (selected_ > index)
      --selected_;
  });
}

void PopUpButton::removeAllItems() {
  change([&] {
    items_.clear();
    selected_ = -1;
  });
}

void PopUpButton::setItemTitle(int index, std::string title) {
  if (!itemAtIndex(index)) return;
  change([&] { items_[static_cast<std::size_t>(index)].title = std::move(title); });
}

void PopUpButton::setItemImage(int index, ImageRef image) {
  if (!itemAtIndex(index)) return;
  change([&] { items_[static_cast<std::size_t>(index)].image = std::move(image); });
}

bool PopUpButton::chooseItem(int index) {
  const MenuItem* item = itemAtIndex(index);
  if (!present() || !isEnabled() || !item || item->separator || !item->enabled) return false;
  selectItemAtIndex(index);
  sendAction();
  return true;
}

}  // namespace jc
