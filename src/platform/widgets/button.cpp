// Buttons, button cells and radio matrices.
#include "platform/widgets/button.h"

namespace jc {

void Button::setButtonType(Type type) {
  change([&] { type_ = type; });
}
void Button::setNamedBy(Control* caption) {
  change([&] { namedBy_ = caption; });
}
void Button::setTitle(std::string title) {
  change([&] { title_ = std::move(title); });
}
void Button::setState(int state) {
  change([&] { state_ = state; });
}
void Button::setImage(ImageRef image) {
  change([&] { image_ = std::move(image); });
}
void Button::setAlternateImage(ImageRef image) {
  change([&] { alternateImage_ = std::move(image); });
}
bool Button::performClick() {
  if (!present() || !isEnabled()) return false;
  if (type_ != Type::Push) setState(state_ == 1 ? 0 : 1);
  sendAction();
  return true;
}

void ButtonCell::setTitle(std::string title) {
  change([&] { title_ = std::move(title); });
}
void ButtonCell::setState(int state) {
  change([&] { state_ = state; });
}
void ButtonCell::setImage(ImageRef image) {
  change([&] { image_ = std::move(image); });
}
void ButtonCell::setAlternateImage(ImageRef image) {
  change([&] { alternateImage_ = std::move(image); });
}

ButtonCell* Matrix::cellAtRow(int row) const {
  if (row < 0 || row >= numberOfRows()) return nullptr;
  return static_cast<ButtonCell*>(children()[static_cast<std::size_t>(row)].get());
}

void Matrix::addCell(std::shared_ptr<ButtonCell> cell) {
  if (!present() || !cell) return;
  addChild(cell);
  selectCellAtRow(selectedRow_ < numberOfRows() ? selectedRow_ : 0);
}

void Matrix::setRowGeometry(int rowHeight, int rowSpacing) {
  change([&] {
    rowHeight_ = rowHeight;
    rowSpacing_ = rowSpacing;
  });
}

Control::Frame Matrix::frameOfCellAtRow(int row) const {
  if (row < 0 || row >= numberOfRows()) return {};
  const int width = frame().width;
  if (rowHeight_ > 0) return {0, row * (rowHeight_ + rowSpacing_), width, rowHeight_};
  // Shared evenly: the rows together fill the height exactly.
  const int rows = numberOfRows(), height = frame().height;
  const int top = height * row / rows, bottom = height * (row + 1) / rows;
  return {0, top, width, bottom - top};
}

void Matrix::selectCellAtRow(int row, int column) {
  change([&] {
    selectedRow_ = (column == 0 && row >= 0 && row < numberOfRows()) ? row : -1;
    for (int r = 0; r < numberOfRows(); ++r) cellAtRow(r)->setState(r == selectedRow_ ? 1 : 0);
  });
}

bool Matrix::clickRow(int row) {
  ButtonCell* cell = cellAtRow(row);
  if (!present() || !isEnabled() || !cell || !cell->isEnabled()) return false;
  selectCellAtRow(row);
  sendAction();
  return true;
}

}  // namespace jc
