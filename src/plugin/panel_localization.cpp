// Caption localization: a control's caption is looked up in the bundle's strings table by
// its label, the text before the first colon, and the colon is put back after it.
#include <string_view>

#include "platform/widgets/button.h"
#include "platform/widgets/text_field.h"
#include "plugin/panel.h"

namespace {

// White space and line ends as a text scanner skips them, including the Unicode spaces
// that captions typed in CJK or typographic editors carry (no-break, ideographic, ...),
// each in its UTF-8 form.
constexpr std::string_view kSpaces[] = {
    " ",      "\t",     "\n",     "\v",     "\f",     "\r",     "\u0085", "\u00A0", "\u1680",
    "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006", "\u2007", "\u2008",
    "\u2009", "\u200A", "\u2028", "\u2029", "\u202F", "\u205F", "\u3000"};

// The byte offset of the first character of `text` that is not white space or a line end.
std::size_t skipLeadingSpace(std::string_view text) {
  std::size_t at = 0;
  for (bool skipped = true; skipped;) {
    skipped = false;
    for (std::string_view space : kSpaces) {
      if (text.substr(at).starts_with(space)) {
        at += space.size();
        skipped = true;
        break;
      }
    }
  }
  return at;
}

}  // namespace

std::optional<std::string> VoreliaPrintPdeTz630eJC::localizedStringValue(
    const std::string& text) const {
  const std::string_view rest = std::string_view(text).substr(skipLeadingSpace(text));
  const std::size_t colon = rest.find(':');
  const std::string_view label = rest.substr(0, colon);
  if (label.empty()) return text;  // empty, only white space, or a colon first
  const char* suffix = colon == std::string_view::npos ? "" : ":";
  // Everything after the first colon is dropped; a label without a translation (or a
  // panel without a bundle) answers the label itself.
  std::string key(label);
  return (pdeBundle ? pdeBundle->localizedString(key) : key) + suffix;
}

std::optional<std::string> VoreliaPrintPdeTz630eJC::localizedStringValue(
    const jc::Control* object) const {
  if (!object) return std::nullopt;
  // The kinds in the order they are tried: text field, box, button, cell.
  switch (object->kind()) {
    case jc::Control::Kind::TextField:
      return localizedStringValue(static_cast<const jc::TextField*>(object)->stringValue());
    case jc::Control::Kind::Box:
      return localizedStringValue(static_cast<const jc::Box*>(object)->title());
    case jc::Control::Kind::Button:
      return localizedStringValue(static_cast<const jc::Button*>(object)->title());
    case jc::Control::Kind::ButtonCell:
      return localizedStringValue(static_cast<const jc::ButtonCell*>(object)->title());
    default:
      return std::nullopt;
  }
}
