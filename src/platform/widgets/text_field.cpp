// Text fields and their formatter-checked editing.
#include "platform/widgets/text_field.h"

#include <algorithm>

#include "platform/text/unicode.h"

namespace jc {

void TextField::setStringValue(std::string text) {
  change([&] {
    text_ = std::move(text);
    selection_ = {utf16Length(text_), 0};
  });
}
void TextField::setEditable(bool editable) {
  change([&] { editable_ = editable; });
}
void TextField::setSelectable(bool selectable) {
  change([&] { selectable_ = selectable; });
}
void TextField::setTextColor(Color color) {
  change([&] { color_ = color; });
}
void TextField::setBezeled(bool bezeled) {
  change([&] { bezeled_ = bezeled; });
}
void TextField::setLabelFor(Control* control) {
  change([&] { labelFor_ = control; });
}
void TextField::setSecret(bool secret) {
  change([&] { secret_ = secret; });
}
void TextField::setFormatter(std::shared_ptr<Formatter> formatter) {
  change([&] { formatter_ = std::move(formatter); });
}

void TextField::setSelectedRange(TextRange range) {
  change([&] {
    std::size_t length = utf16Length(text_);
    range.location = std::min(range.location, length);
    range.length = std::min(range.length, length - range.location);
    selection_ = range;
  });
}
void TextField::selectAll() {
  setSelectedRange({0, utf16Length(text_)});
}

Result<> TextField::edit(TextRange range, const std::u16string& insert) {
  if (!present()) return Refusal{"the field is absent"};
  if (!isEnabled()) return Refusal{"the field is dimmed"};
  if (!editable_) return Refusal{"the field is not editable"};
  std::u16string original = utf8ToUtf16(text_);
  range.location = std::min(range.location, original.size());
  range.length = std::min(range.length, original.size() - range.location);
  std::u16string partial = original;
  partial.replace(range.location, range.length, insert);
  TextRange proposed{range.location + insert.size(), 0};
  // The formatter sees the replaced range as the selection before the edit: the text
  // inserted runs from its start to the proposed caret.
  std::string reason;
  if (formatter_ && !formatter_->isPartialStringValid(partial, proposed, original, range, &reason))
    return Refusal{reason.empty() ? "the field's input filter refuses it" : reason};
  change([&] {
    text_ = utf16ToUtf8(partial);
    selection_ = proposed;
  });
  return {};
}

Result<> TextField::replaceCharactersInRange(TextRange range, std::string_view text) {
  return edit(range, utf8ToUtf16(text));
}

bool TextField::typeText(const std::string& text) {
  for (char32_t cp : utf8ToUtf32(text)) {
    if (!edit(selection_, utf8ToUtf16(utf8FromCodePoint(cp)))) return false;
  }
  return true;
}

bool TextField::paste(const std::string& text) {
  return edit(selection_, utf8ToUtf16(text)).ok();
}

bool TextField::deleteBackward() {
  if (selection_.length > 0 || selection_.location == 0) return edit(selection_, u"").ok();
  // A surrogate pair is one character for the person pressing the key.
  std::u16string units = utf8ToUtf16(text_);
  std::size_t at = selection_.location;
  std::size_t width = (at >= 2 && units[at - 1] >= 0xDC00 && units[at - 1] <= 0xDFFF &&
                       units[at - 2] >= 0xD800 && units[at - 2] <= 0xDBFF)
                          ? 2
                          : 1;
  return edit({at - width, width}, u"").ok();
}

bool TextField::deleteForward() {
  if (selection_.length > 0) return edit(selection_, u"").ok();
  std::u16string units = utf8ToUtf16(text_);
  std::size_t at = selection_.location;
  if (at >= units.size()) return edit(selection_, u"").ok();
  std::size_t width = (units[at] >= 0xD800 && units[at] <= 0xDBFF && at + 1 < units.size()) ? 2 : 1;
  return edit({at, width}, u"").ok();
}

}  // namespace jc
