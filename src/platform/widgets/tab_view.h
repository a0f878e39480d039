// Tab views and their labelled items.
#pragma once

#include <memory>
#include <string>

#include "platform/widgets/control.h"

namespace jc {

/// One tab: a label and the controls on its page (its children).
class TabViewItem : public Control {
 public:
  TabViewItem() : Control(Kind::TabViewItem) {}
  explicit TabViewItem(AbsentTag t) : Control(Kind::TabViewItem, t) {}
  const std::string& label() const { return label_; }
  void setLabel(std::string label);

 private:
  std::string label_;
};

/// A tab view; its children are its items.
class TabView : public Control {
 public:
  TabView() : Control(Kind::TabView) {}
  explicit TabView(AbsentTag t) : Control(Kind::TabView, t) {}

  int numberOfTabViewItems() const { return static_cast<int>(children().size()); }
  /// The item at `index`, or nullptr outside the tabs.
  TabViewItem* tabViewItemAtIndex(int index) const;
  void addTabViewItem(std::shared_ptr<TabViewItem> item);
  /// The selected tab, -1 when none; 0 on the absent tab view.
  int indexOfSelectedTabViewItem() const { return selected_; }
  void selectTabViewItemAtIndex(int index);
  void selectFirstTabViewItem() { selectTabViewItemAtIndex(0); }

 private:
  int selected_ = 0;
};

}  // namespace jc
