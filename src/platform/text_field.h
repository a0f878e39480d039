// Text fields: labels and input fields, with the editing operations a person performs.
#pragma once

#include <memory>
#include <string>

#include "platform/control.h"
#include "platform/formatter.h"

namespace jc {

/// A label (tag 0) or an input field (non-zero tag). Typing, pasting and deleting are
/// edits: each one is offered to the attached formatter and refused as a whole when the
/// formatter says no. `setStringValue` is the program's own change and bypasses it.
class TextField : public Control {
 public:
  enum class Color { Black, Gray };

  TextField() : Control(Kind::TextField) {}
  /// The absent field: neither editable nor selectable, like every absent control that
  /// answers false to every question.
  explicit TextField(AbsentTag t)
      : Control(Kind::TextField, t), editable_(false), selectable_(false), bezeled_(false) {}

  /// The text, "" on the absent field.
  const std::string& stringValue() const { return text_; }
  /// Replaces the text; the caret moves to its end.
  void setStringValue(std::string text);
  bool isEditable() const { return editable_; }
  void setEditable(bool editable);
  bool isSelectable() const { return selectable_; }
  void setSelectable(bool selectable);
  Color textColor() const { return color_; }
  void setTextColor(Color color);
  bool isBezeled() const { return bezeled_; }
  void setBezeled(bool bezeled);

  const std::shared_ptr<Formatter>& formatter() const { return formatter_; }
  /// Attaches a formatter; the field keeps it alive.
  void setFormatter(std::shared_ptr<Formatter> formatter);

  /// The selection in UTF-16 units (a caret when its length is 0).
  TextRange selectedRange() const { return selection_; }
  /// Sets the selection, clamped to the text.
  void setSelectedRange(TextRange range);
  void selectAll();

  /// Types `text` one character (code point) at a time, as keystrokes. Stops at the first
  /// refused keystroke and answers false then; true when every keystroke was taken.
  bool typeText(const std::string& text);
  /// Inserts `text` as one edit (a paste) in place of the selection.
  bool paste(const std::string& text);
  /// Backspace: deletes the selection, or the character before the caret.
  bool deleteBackward();
  /// Forward delete: deletes the selection, or the character after the caret.
  bool deleteForward();

 private:
  // Offers the edit "replace `range` by `insert`, caret after it" to the formatter.
  bool edit(TextRange range, const std::u16string& insert);

  std::string text_;
  bool editable_ = true;
  bool selectable_ = true;
  bool bezeled_ = true;
  Color color_ = Color::Black;
  std::shared_ptr<Formatter> formatter_;
  TextRange selection_;
};

}  // namespace jc
