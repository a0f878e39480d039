// Driving the panel's controls as user events, with a reason for every refusal.
#include "hosts/cli/panel_driver.h"

#include "platform/unicode.h"

namespace jc::cli {

namespace {

std::string withoutColon(std::string text) {
  while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string textOf(const Control& control) {
  switch (control.kind()) {
    case Control::Kind::TextField:
      return withoutColon(static_cast<const TextField&>(control).stringValue());
    case Control::Kind::Button:
      return static_cast<const Button&>(control).title();
    case Control::Kind::ButtonCell:
      return static_cast<const ButtonCell&>(control).title();
    case Control::Kind::Box:
      return static_cast<const Box&>(control).title();
    case Control::Kind::TabViewItem:
      return static_cast<const TabViewItem&>(control).label();
    default:
      return "";
  }
}

const Entry* entryOfControl(std::string_view id) {
  for (const Entry& entry : entryTable())
    if (entry.control == id) return &entry;
  return nullptr;
}

// Why a filter refused `cp` after the text the field holds: asked of the field's own
// formatter with edits it never applies, so the field is left as it is.
std::string refusalReason(const TextField& field, char32_t cp) {
  const auto& formatter = field.formatter();
  if (!formatter) return "the field refuses it";
  const std::u16string one = utf8ToUtf16(utf8FromCodePoint(cp));
  auto accepts = [&](const std::u16string& before, const std::u16string& after) {
    std::u16string partial = after;
    TextRange proposed{after.size(), 0};
    return formatter->isPartialStringValid(partial, proposed, before, {before.size(), 0}, nullptr);
  };
  if (!accepts(u"", one))
    return accepts(u"", u"0") ? "the field takes digits only"
                              : "the field's input filter refuses it";
  std::u16string text;
  for (int n = 0; n < 4096; ++n) {
    if (!accepts(text, text + one))
      return "the field takes at most " + std::to_string(n) + " characters";
    text += one;
  }
  return "the field refuses it";
}

}  // namespace

PanelDriver::PanelDriver(std::shared_ptr<View> root) : root_(std::move(root)) {
  if (!root_) return;
  std::vector<Control*> pending{root_.get()};
  while (!pending.empty()) {
    Control* control = pending.back();
    pending.pop_back();
    if (!control->identifier().empty()) byId_.emplace(control->identifier(), control);
    for (const auto& child : control->children()) pending.push_back(child.get());
  }
}

Control* PanelDriver::find(std::string_view id) const {
  auto it = byId_.find(id);
  return it == byId_.end() ? nullptr : it->second;
}

std::string PanelDriver::section(const Control& control) const {
  std::string tab, box;
  for (Control* up = control.parent(); up; up = up->parent()) {
    if (up->kind() == Control::Kind::TabViewItem && tab.empty()) tab = textOf(*up);
    if (up->kind() == Control::Kind::Box && box.empty()) box = textOf(*up);
  }
  if (tab.empty()) return box;
  return box.empty() || box == tab ? tab : tab + " / " + box;
}

std::string PanelDriver::caption(const Entry& entry) const {
  if (!entry.caption.empty()) {
    if (Control* source = find(entry.caption)) return textOf(*source);
    return "";
  }
  Control* control = find(entry.control);
  if (!control) return "";
  if (std::string own = textOf(*control); !own.empty()) return own;
  for (Control* up = control->parent(); up; up = up->parent())
    if (std::string around = textOf(*up); !around.empty()) return around;
  return "";
}

void PanelDriver::reveal(Control& control) {
  for (Control* up = &control; up && up->parent(); up = up->parent()) {
    if (up->kind() != Control::Kind::TabViewItem) continue;
    auto* tabs = static_cast<TabView*>(up->parent());
    for (int i = 0; i < tabs->numberOfTabViewItems(); ++i) {
      if (tabs->tabViewItemAtIndex(i) == up && tabs->indexOfSelectedTabViewItem() != i) {
        tabs->selectTabViewItemAtIndex(i);
        tabs->sendAction();
      }
    }
  }
}

Result<> PanelDriver::typeInto(std::string_view id, const std::string& text) {
  auto* field = find<TextField>(id);
  const Entry* entry = entryOfControl(id);
  if (!field) return Refusal{"the panel has no such field"};
  reveal(*field);
  if (!field->isEnabled() || !field->isEditable()) {
    if (entry && !entry->holdButton.empty()) {
      if (auto* hold = find<Button>(entry->holdButton); hold && hold->state() == 1)
        return Refusal{"the field is locked by its hold button (unhold=" +
                       std::string(entry->name) + " first)"};
    }
    return Refusal{"the field is dimmed"};
  }
  // Each key costs the length of the field's text, so the typing of a long value grows
  // with its square: a value longer than any entry keeps is refused before the first key.
  if (std::size_t length = utf8ToUtf32(text).size(); length > kMaxTypedCharacters)
    return Refusal{"the value is " + std::to_string(length) + " characters long, more than the " +
                   std::to_string(kMaxTypedCharacters) + " that can be typed"};
  field->selectAll();
  if (!field->stringValue().empty() && !field->deleteBackward())
    return Refusal{"the field refused to be emptied"};
  std::size_t position = 0;
  for (char32_t cp : utf8ToUtf32(text)) {
    ++position;
    if (!field->typeText(utf8FromCodePoint(cp)))
      return Refusal{"character " + std::to_string(position) + " (\"" + utf8FromCodePoint(cp) +
                     "\") refused: " + refusalReason(*field, cp)};
  }
  field->sendAction();
  return accepted();
}

Result<> PanelDriver::press(std::string_view id) {
  auto* button = find<Button>(id);
  if (!button) return Refusal{"the panel has no such button"};
  reveal(*button);
  if (!button->isEnabled()) return Refusal{"the button is dimmed"};
  if (!button->performClick()) return Refusal{"the button refused the click"};
  return accepted();
}

Result<> PanelDriver::setCheck(Button& box, bool on) {
  reveal(box);
  if (!box.isEnabled()) return Refusal{"\"" + box.title() + "\" is dimmed"};
  if ((box.state() == 1) != on) {
    if (!box.performClick()) return Refusal{"\"" + box.title() + "\" refused the click"};
  } else {
    // The state is already as asked; the action still runs, as for any click.
    box.sendAction();
  }
  return accepted();
}

Result<> PanelDriver::clickRow(const Entry& entry, int row) {
  auto* matrix = find<Matrix>(entry.control);
  if (!matrix) return Refusal{"the panel has no such choice"};
  reveal(*matrix);
  ButtonCell* cell = matrix->cellAtRow(row);
  if (!cell) return Refusal{"the panel has no such choice"};
  if (!matrix->isEnabled()) return Refusal{"the choices are dimmed"};
  if (!cell->isEnabled()) return Refusal{"\"" + cell->title() + "\" is dimmed"};
  if (!matrix->clickRow(row)) return Refusal{"\"" + cell->title() + "\" refused the click"};
  return accepted();
}

Result<> PanelDriver::apply(const Assignment& assignment) {
  const Entry& entry = *assignment.entry;
  auto wordIndex = [&] {
    for (std::size_t i = 0; i < entry.words.size(); ++i)
      if (entry.words[i] == assignment.value) return static_cast<int>(i);
    return -1;
  };
  switch (entry.kind) {
    case EntryKind::Text:
      return typeInto(entry.control, assignment.value);
    case EntryKind::Hold: {
      auto* button = find<Button>(assignment.held->holdButton);
      if (!button)
        return Refusal{"the panel has no hold button for " + std::string(assignment.held->name)};
      return setCheck(*button, entry.name == "hold");
    }
    case EntryKind::Retention: {
      auto* box = find<Button>(entry.control);
      if (!box) return Refusal{"the panel has no retention check box"};
      int index = wordIndex();
      if (Result<> checked = setCheck(*box, index > 0); !checked) return checked;
      if (index == 0) return accepted();
      // The hold mode is the matrix under the check box.
      static const Entry kHoldMode{"retention", EntryKind::Matrix, "suspendMatrix", "", "", {}};
      return clickRow(kHoldMode, index - 1);
    }
    case EntryKind::Matrix:
      return clickRow(entry, wordIndex());
    case EntryKind::PopUp: {
      auto* popup = find<PopUpButton>(entry.control);
      if (!popup) return Refusal{"the panel has no folder pop-up"};
      reveal(*popup);
      if (!popup->isEnabled()) return Refusal{"the pop-up is dimmed"};
      int index = wordIndex();
      std::string folders;
      if (index < 0) {
        // Folders follow the fixed items and a separator.
        for (int i = static_cast<int>(entry.words.size()); i < popup->numberOfItems(); ++i) {
          const MenuItem* item = popup->itemAtIndex(i);
          if (item->separator) continue;
          if (item->title == assignment.value) index = i;
          folders += (folders.empty() ? "" : ", ") + item->title;
        }
      }
      if (index < 0)
        return Refusal{"no folder \"" + assignment.value + "\" in the pop-up (" +
                       (folders.empty() ? std::string("the printer's folders are not known yet; "
                                                      "run `jobcontrol folders` first")
                                        : "the printer's folders: " + folders) +
                       ")"};
      if (!popup->chooseItem(index))
        return Refusal{"the pop-up refused \"" + assignment.value + "\""};
      return accepted();
    }
    case EntryKind::Button:
      return press(entry.control);
  }
  return Refusal{"unknown entry"};
}

}  // namespace jc::cli
