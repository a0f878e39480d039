// Buttons, button cells and the radio matrices that hold the cells.
#pragma once

#include <memory>
#include <string>

#include "platform/widgets/control.h"

namespace jc {

/// The title, state and images that buttons and button cells share.
/// State is 0 (off), 1 (on) or -1 (mixed).
template <class Self>
class ButtonFace {
 public:
  const std::string& title() const { return title_; }
  int state() const { return state_; }
  const ImageRef& image() const { return image_; }
  const ImageRef& alternateImage() const { return alternateImage_; }
  /// The image a GUI shows now: the alternate image while the state is 1, when there is one.
  const ImageRef& shownImage() const {
    return state_ == 1 && alternateImage_ ? alternateImage_ : image_;
  }

 protected:
  std::string title_;
  int state_ = 0;
  ImageRef image_;
  ImageRef alternateImage_;
};

/// A push button, check box or two-state (hold) button.
class Button : public Control, public ButtonFace<Button> {
 public:
  enum class Type { Push, Switch, Toggle };
  explicit Button(Type type = Type::Push) : Control(Kind::Button), type_(type) {}
  explicit Button(AbsentTag t) : Control(Kind::Button, t) {}

  Type buttonType() const { return type_; }
  void setButtonType(Type type);
  void setTitle(std::string title);
  void setState(int state);
  void setImage(ImageRef image);
  void setAlternateImage(ImageRef image);
  /// The user's click: a disabled or absent button ignores it; a check box or two-state
  /// button flips its state (mixed counts as off); then the action is sent. Answers
  /// whether the click was taken.
  bool performClick();
  /// The caption (a label or radio cell) of the entry this hold button keeps: the layout's
  /// `for=`, or nullptr. A binding names the button after it, since the button shows only a
  /// padlock. The control is in the same tree.
  Control* namedBy() const { return namedBy_; }
  void setNamedBy(Control* caption);

 private:
  Type type_ = Type::Push;
  Control* namedBy_ = nullptr;
};

/// One radio cell of a matrix.
class ButtonCell : public Control, public ButtonFace<ButtonCell> {
 public:
  ButtonCell() : Control(Kind::ButtonCell) {}
  explicit ButtonCell(AbsentTag t) : Control(Kind::ButtonCell, t) {}
  void setTitle(std::string title);
  void setState(int state);
  void setImage(ImageRef image);
  void setAlternateImage(ImageRef image);
};

/// A single-column radio matrix; its children are its cells, one per row.
class Matrix : public Control {
 public:
  Matrix() : Control(Kind::Matrix) {}
  explicit Matrix(AbsentTag t) : Control(Kind::Matrix, t) {}

  int numberOfRows() const { return static_cast<int>(children().size()); }
  /// The selected row, -1 when none; 0 on the absent matrix.
  int selectedRow() const { return selectedRow_; }
  /// The cell at `row`, or nullptr outside the rows.
  ButtonCell* cellAtRow(int row) const;
  ButtonCell* selectedCell() const { return cellAtRow(selectedRow_); }
  /// Appends a cell as the next row; a matrix selects its first row once it has one.
  void addCell(std::shared_ptr<ButtonCell> cell);
  /// Selects `row` (column 0 only): that cell turns on, the others off. A row outside the
  /// matrix selects nothing. Does not send the action.
  void selectCellAtRow(int row, int column = 0);
  /// The user's click on `row`: refused when the matrix or the cell is disabled or the row
  /// does not exist; otherwise selects it and sends the matrix's action, also when the
  /// row was already selected.
  bool clickRow(int row);

  /// The height of each row and the gap between two rows, in points. A row height of 0
  /// (the default) shares the matrix's height evenly among its rows, without gaps.
  int rowHeight() const { return rowHeight_; }
  int rowSpacing() const { return rowSpacing_; }
  void setRowGeometry(int rowHeight, int rowSpacing);
  /// The frame of the cell at `row` in the matrix's coordinates: the matrix's width, one
  /// row high, below the rows and gaps before it. An empty frame outside the rows.
  Frame frameOfCellAtRow(int row) const;

 private:
  int selectedRow_ = 0;
  int rowHeight_ = 0;
  int rowSpacing_ = 0;
};

}  // namespace jc
