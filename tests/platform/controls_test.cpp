// The widget model: absent controls, observers, matrices, pop-ups, tabs, focus.
#include <gtest/gtest.h>

#include "platform/widgets/controls.h"

namespace jc {
namespace {

TEST(AbsentControl, AnswersNothingAndIgnoresEveryCommand) {
  Outlet<Button> button;
  Outlet<Matrix> matrix;
  Outlet<PopUpButton> popup;
  Outlet<TextField> field;
  Outlet<TabView> tabs;
  EXPECT_FALSE(button);
  button->setState(1);
  button->setTitle("x");
  button->setEnabled(true);
  EXPECT_FALSE(button->performClick());
  EXPECT_TRUE(button->state() == 0 && button->title().empty() && !button->isEnabled());

  matrix->selectCellAtRow(2);
  EXPECT_EQ(matrix->selectedRow(), 0);
  EXPECT_EQ(matrix->selectedCell(), nullptr);
  EXPECT_FALSE(matrix->clickRow(0));

  popup->addItemWithTitle("a");
  EXPECT_EQ(popup->numberOfItems(), 0);
  EXPECT_EQ(popup->titleOfSelectedItem(), "");

  field->setStringValue("secret");
  EXPECT_FALSE(field->typeText("1"));
  EXPECT_EQ(field->stringValue(), "");
  // Code that gives focus only to a selectable field must not see an absent one as usable.
  field->setEditable(true);
  field->setSelectable(true);
  EXPECT_FALSE(field->isEditable() || field->isSelectable());
  EXPECT_TRUE(TextField().isSelectable());  // a real field starts usable

  tabs->addTabViewItem(std::make_shared<TabViewItem>());
  EXPECT_EQ(tabs->numberOfTabViewItems(), 0);

  bool called = false;
  EXPECT_EQ(button->addObserver([&](Control&) { called = true; }), 0u);
  button->setAction([&](Control&) { called = true; });
  button->sendAction();
  EXPECT_FALSE(called);
  // The shared absent instance stayed pristine for the next user.
  EXPECT_EQ(absent<Button>().state(), 0);
}

TEST(Control, ObserversSeeEveryChangeUntilRemoved) {
  Button button(Button::Type::Switch);
  int changes = 0;
  auto token = button.addObserver([&](Control& c) {
    EXPECT_EQ(&c, &button);
    ++changes;
  });
  button.setTitle("Retention");
  button.setState(1);
  button.setEnabled(false);
  EXPECT_EQ(changes, 3);
  button.removeObserver(token);
  button.setState(0);
  EXPECT_EQ(changes, 3);
}

TEST(Button, ClickFlipsTwoStateButtonsAndSendsTheActionWhenEnabled) {
  Button hold(Button::Type::Toggle);
  int actions = 0;
  hold.setAction([&](Control&) { ++actions; });
  EXPECT_TRUE(hold.performClick());
  EXPECT_EQ(hold.state(), 1);
  hold.setState(-1);  // mixed counts as off
  EXPECT_TRUE(hold.performClick());
  EXPECT_EQ(hold.state(), 1);
  hold.setEnabled(false);
  EXPECT_FALSE(hold.performClick());
  EXPECT_EQ(actions, 2);

  Button push;
  push.setAction([&](Control&) { ++actions; });
  EXPECT_TRUE(push.performClick());
  EXPECT_EQ(push.state(), 0);
  EXPECT_EQ(actions, 3);
}

TEST(Matrix, SelectsOneRowAndClicksSendTheActionEvenWithoutChange) {
  Matrix matrix;
  for (int i = 0; i < 3; ++i) matrix.addCell(std::make_shared<ButtonCell>());
  EXPECT_EQ(matrix.selectedRow(), 0);
  matrix.selectCellAtRow(2);
  EXPECT_EQ(matrix.selectedRow(), 2);
  EXPECT_EQ(matrix.cellAtRow(2)->state(), 1);
  EXPECT_EQ(matrix.cellAtRow(0)->state(), 0);
  matrix.selectCellAtRow(7);
  EXPECT_EQ(matrix.selectedRow(), -1);
  EXPECT_EQ(matrix.selectedCell(), nullptr);

  int actions = 0;
  matrix.setAction([&](Control&) { ++actions; });
  EXPECT_TRUE(matrix.clickRow(1));
  EXPECT_TRUE(matrix.clickRow(1));
  EXPECT_EQ(actions, 2);
  matrix.cellAtRow(0)->setEnabled(false);
  EXPECT_FALSE(matrix.clickRow(0));
  EXPECT_FALSE(matrix.clickRow(3));
  EXPECT_EQ(matrix.selectedRow(), 1);
}

TEST(PopUpButton, KeepsItsSelectionWithItsItemAndNeverSelectsASeparator) {
  PopUpButton popup;
  EXPECT_EQ(popup.indexOfSelectedItem(), 0);  // as the absent one, until items come
  popup.addItemWithTitle("Quick File");
  popup.addItemWithTitle("Main Folder");
  popup.addSeparatorItem();
  popup.addItemWithTitle("Scans");
  popup.selectItemAtIndex(3);
  EXPECT_EQ(popup.titleOfSelectedItem(), "Scans");
  popup.removeItemAtIndex(2);
  EXPECT_EQ(popup.indexOfSelectedItem(), 2);
  popup.removeItemAtIndex(2);
  EXPECT_EQ(popup.indexOfSelectedItem(), -1);
  popup.addSeparatorItem();
  popup.selectItemAtIndex(2);
  EXPECT_EQ(popup.indexOfSelectedItem(), -1);
  EXPECT_FALSE(popup.chooseItem(2));
  int actions = 0;
  popup.setAction([&](Control&) { ++actions; });
  EXPECT_TRUE(popup.chooseItem(1));
  EXPECT_EQ(actions, 1);
  popup.removeAllItems();
  EXPECT_EQ(popup.numberOfItems(), 0);
  EXPECT_EQ(popup.itemAtIndex(0), nullptr);
}

TEST(Window, FindsTheWindowThroughTheTreeAndMovesFocus) {
  auto root = std::make_shared<View>();
  auto field = std::make_shared<TextField>();
  auto box = std::make_shared<Box>();
  box->addChild(field);
  root->addChild(box);
  Window window;
  root->setWindow(&window);
  EXPECT_EQ(field->window(), &window);
  std::vector<Control*> told;
  std::size_t token = window.addFocusObserver([&](Control* c) { told.push_back(c); });
  window.makeFirstResponder(field.get());
  window.makeFirstResponder(field.get());  // no change, nothing to tell
  window.makeFirstResponder(nullptr);
  EXPECT_EQ(told, (std::vector<Control*>{field.get(), nullptr}));
  window.removeFocusObserver(token);
  window.makeFirstResponder(box.get());
  EXPECT_EQ(told.size(), 2u);
  EXPECT_EQ(window.firstResponder(), box.get());
}

}  // namespace
}  // namespace jc
