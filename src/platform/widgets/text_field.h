// Text fields: labels and input fields, with the editing operations a person performs.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/base/result.h"
#include "platform/widgets/control.h"
#include "platform/widgets/formatter.h"

namespace jc {

/// A label (tag 0) or an input field (non-zero tag). Typing, pasting and deleting are
/// edits: each one is offered to the attached formatter and refused as a whole when the
/// formatter says no. `setStringValue` is the program's own change and bypasses it.
/// A text field marked secret (a password) still holds and answers its real text; only a
/// toolkit's rendering hides the characters.
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
  /// The control this label is the caption of (the layout's `for=`), or nullptr. A binding
  /// uses it to name the field to assistive technologies. The control is in the same tree.
  Control* labelFor() const { return labelFor_; }
  void setLabelFor(Control* control);
  /// Whether a toolkit must not show the characters (a password field).
  bool isSecret() const { return secret_; }
  void setSecret(bool secret);

  const std::shared_ptr<Formatter>& formatter() const { return formatter_; }
  /// Attaches a formatter; the field keeps it alive.
  void setFormatter(std::shared_ptr<Formatter> formatter);

  /// The selection in UTF-16 units (a caret when its length is 0).
  TextRange selectedRange() const { return selection_; }
  /// Sets the selection, clamped to the text.
  void setSelectedRange(TextRange range);
  void selectAll();

  /// The user's edit: replaces `range` (UTF-16 units, clamped to the text) with `text` as
  /// one edit, as when a person selects the range and types or pastes over it. The edit is
  /// offered whole to the formatter; when it is taken the text changes with one
  /// notification and the caret follows the inserted text. Otherwise nothing changes and
  /// the refusal says why: the field is absent, dimmed or not editable, or the formatter's
  /// own reason ("the field takes digits only", "the field takes at most 5 characters").
  /// No action is sent; a host sends it when editing ends, as a toolkit does.
  Result<> replaceCharactersInRange(TextRange range, std::string_view text);

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
  Result<> edit(TextRange range, const std::u16string& insert);

  std::string text_;
  bool editable_ = true;
  bool selectable_ = true;
  bool bezeled_ = true;
  bool secret_ = false;
  Control* labelFor_ = nullptr;
  Color color_ = Color::Black;
  std::shared_ptr<Formatter> formatter_;
  TextRange selection_;
};

}  // namespace jc
