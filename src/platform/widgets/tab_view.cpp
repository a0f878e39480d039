// Tab views.
#include "platform/widgets/tab_view.h"

namespace jc {

void TabViewItem::setLabel(std::string label) {
  change([&] { label_ = std::move(label); });
}

TabViewItem* TabView::tabViewItemAtIndex(int index) const {
  if (index < 0 || index >= numberOfTabViewItems()) return nullptr;
  return static_cast<TabViewItem*>(children()[static_cast<std::size_t>(index)].get());
}

void TabView::addTabViewItem(std::shared_ptr<TabViewItem> item) {
  if (!present() || !item) return;
  addChild(std::move(item));
}

void TabView::selectTabViewItemAtIndex(int index) {
  change([&] { selected_ = tabViewItemAtIndex(index) ? index : -1; });
}

}  // namespace jc
