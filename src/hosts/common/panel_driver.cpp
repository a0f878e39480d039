// Driving the panel's controls as user events, with a reason for every refusal.
#include "hosts/common/panel_driver.h"

#include "hosts/common/messages.h"
#include "hosts/common/terminal_text.h"
#include "platform/text/unicode.h"

namespace jc {

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

// The input filters' reasons in the user's language (they come in English).
std::string translatedReason(const std::string& reason) {
  constexpr std::string_view kAtMost = "the field takes at most ";
  constexpr std::string_view kCharacters = " characters";
  if (reason.starts_with(kAtMost) && reason.ends_with(kCharacters))
    return subst(tr("the field takes at most %1 characters"),
                 {std::string_view(reason).substr(
                     kAtMost.size(), reason.size() - kAtMost.size() - kCharacters.size())});
  return tr(reason.c_str());
}

}  // namespace

PanelDriver::PanelDriver(std::shared_ptr<View> root) : root_(std::move(root)) {
  if (!root_) return;
  // The view goes into a window, as a dialog shows it, so the panel's focus moves are seen.
  root_->setWindow(&window_);
  focusToken_ = window_.addFocusObserver([this](Control* responder) { focused_ = responder; });
  std::vector<Control*> pending{root_.get()};
  while (!pending.empty()) {
    Control* control = pending.back();
    pending.pop_back();
    if (!control->identifier().empty()) byId_.emplace(control->identifier(), control);
    for (const auto& child : control->children()) pending.push_back(child.get());
  }
}

PanelDriver::~PanelDriver() {
  if (!root_) return;
  window_.removeFocusObserver(focusToken_);
  if (root_->ownWindow() == &window_) root_->setWindow(nullptr);
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

std::string PanelDriver::whatToDo(std::string_view name) const {
  const Entry* entry = findEntry(name);
  if (!entry) return "";
  auto* retention = find<Button>("retentionCheckBox");
  auto* popup = find<PopUpButton>("folderSelectionPopup");
  auto* filing = find<Matrix>("folderSelectionMatrix");
  auto* auth = find<Matrix>("authenticationMatrix");
  const bool retentionOn = retention && retention->state() != 0;
  const bool quick =
      (popup && popup->indexOfSelectedItem() == 0) || (filing && filing->selectedRow() == 0);
  const bool login = auth && auth->selectedRow() == 0;
  const bool filingSide = name == "pass-code" || name == "folder-pass-code" ||
                          name == "folder-name" || name == "filing" || name == "filing-kind";
  // A locked field of a dimmed section needs both steps; the padlock is said second.
  std::string alsoLocked;
  if (!entry->holdButton.empty())
    if (auto* lock = find<Button>(entry->holdButton); lock && lock->state() == 1)
      alsoLocked = subst(tr("; it is also locked: unlock=%1 after that"), {name});
  if (filingSide && !retentionOn)
    return tr("retention is off; turn it on first: retention=hold-only "
              "(or hold-after, sample)") +
           alsoLocked;
  if (name == "pass-code" && quick)
    return tr(
        "a quick-filed job takes no pass code; choose another folder first: "
        "filing=main (or filing-kind=main)");
  if (name == "folder-pass-code")
    return tr(
        "only a protected folder or a custom folder takes a pass code; choose one "
        "first: filing=FOLDER or filing-kind=custom");
  if (name == "folder-name")
    return tr("only a custom folder has a name; choose it first: filing-kind=custom");
  if ((name == "login-name" || name == "password") && !login)
    return tr("authentication is by user number; choose auth=login first") + alsoLocked;
  if (name == "user-number" && login)
    return tr("authentication is by login name; choose auth=number first") + alsoLocked;
  if (!entry->holdButton.empty())
    if (auto* lock = find<Button>(entry->holdButton); lock && lock->state() == 1)
      return subst(tr("it is locked by its padlock; unlock=%1 first"), {name});
  return "";
}

Result<> PanelDriver::typeInto(std::string_view id, const std::string& text) {
  auto* field = find<TextField>(id);
  const Entry* entry = entryOfControl(id);
  if (!field) return Refusal{tr("the panel has no such field")};
  reveal(*field);
  if (!field->isEnabled() || !field->isEditable()) {
    std::string hint = entry ? whatToDo(entry->name) : "";
    return Refusal{hint.empty() ? std::string(tr("the field is dimmed"))
                                : subst(tr("the field is dimmed: %1"), {hint})};
  }
  // A person clicks into the field, selects all, deletes, then types key by key; the keys
  // go wherever the window says the focus is.
  window_.makeFirstResponder(field);
  if (focused_ != field) return Refusal{tr("the field does not take the keyboard focus")};
  if (auto emptied = field->replaceCharactersInRange({0, utf16Length(field->stringValue())}, "");
      !emptied)
    return Refusal{
        subst(tr("the field refused to be emptied: %1"), {translatedReason(emptied.message())})};
  // Each key costs the length of the field's text, so typing grows with the square of the
  // value: a long value goes in as a person pastes it, one edit through the same filter.
  const std::u32string keys = utf8ToUtf32(text);
  if (keys.size() > kMaxTypedCharacters) {
    if (auto pasted = field->replaceCharactersInRange(field->selectedRange(), text); !pasted)
      return Refusal{subst(tr("the value (%1 characters, pasted) was refused: %2"),
                           {std::to_string(keys.size()), translatedReason(pasted.message())})};
    field->sendAction();
    return accepted();
  }
  std::size_t position = 0;
  for (char32_t cp : keys) {
    ++position;
    const std::string key = utf8FromCodePoint(cp);
    auto* target = dynamic_cast<TextField*>(focused_);
    if (!target) return Refusal{tr("the field lost the keyboard focus")};
    if (auto typed = target->replaceCharactersInRange(target->selectedRange(), key); !typed) {
      // A secret's characters are never repeated back, only their position.
      if (entry && entry->secret)
        return Refusal{subst(tr("character %1 refused: %2"),
                             {std::to_string(position), translatedReason(typed.message())})};
      return Refusal{subst(tr("character %1 (\"%2\") refused: %3"),
                           {std::to_string(position), key, translatedReason(typed.message())})};
    }
  }
  field->sendAction();
  return accepted();
}

std::vector<PanelFolder> PanelDriver::folders() const {
  // The folders follow the fixed items and the separator; a padlock marks a protected one.
  std::vector<PanelFolder> folders;
  if (auto* popup = find<PopUpButton>("folderSelectionPopup")) {
    const MenuItem* first = popup->itemAtIndex(0);
    bool afterSeparator = false;
    for (const MenuItem& item : popup->items()) {
      if (item.separator) {
        afterSeparator = true;
        continue;
      }
      if (afterSeparator) folders.push_back({item.title, first && item.image != first->image});
    }
  }
  return folders;
}

Result<> PanelDriver::press(std::string_view id) {
  auto* button = find<Button>(id);
  if (!button) return Refusal{tr("the panel has no such button")};
  reveal(*button);
  if (!button->isEnabled()) return Refusal{tr("the button is dimmed")};
  if (!button->performClick()) return Refusal{tr("the button refused the click")};
  return accepted();
}

Result<> PanelDriver::setCheck(Button& box, bool on, std::string_view entry) {
  reveal(box);
  if (!box.isEnabled()) {
    std::string hint = whatToDo(entry);
    std::string what =
        box.title().empty() ? std::string(tr("the padlock")) : "\"" + box.title() + "\"";
    return Refusal{hint.empty() ? subst(tr("%1 is dimmed"), {what})
                                : subst(tr("%1 is dimmed: %2"), {what, hint})};
  }
  if ((box.state() == 1) != on) {
    if (!box.performClick()) return Refusal{subst(tr("\"%1\" refused the click"), {box.title()})};
  } else {
    // The state is already as asked; the action still runs, as for any click.
    box.sendAction();
  }
  return accepted();
}

Result<> PanelDriver::clickRow(const Entry& entry, int row) {
  auto* matrix = find<Matrix>(entry.control);
  if (!matrix) return Refusal{tr("the panel has no such choice")};
  reveal(*matrix);
  ButtonCell* cell = matrix->cellAtRow(row);
  if (!cell) return Refusal{tr("the panel has no such choice")};
  if (!matrix->isEnabled() || !cell->isEnabled()) {
    std::string hint = whatToDo(entry.name);
    std::string what = matrix->isEnabled() ? "\"" + cell->title() + "\"" : tr("the choices");
    return Refusal{hint.empty() ? subst(tr("%1 is dimmed"), {what})
                                : subst(tr("%1 is dimmed: %2"), {what, hint})};
  }
  if (!matrix->clickRow(row))
    return Refusal{subst(tr("\"%1\" refused the click"), {cell->title()})};
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
        return Refusal{subst(tr("the panel has no padlock for %1"), {assignment.held->name})};
      return setCheck(*button, assignment.locks(), assignment.held->name);
    }
    case EntryKind::Retention: {
      auto* box = find<Button>(entry.control);
      if (!box) return Refusal{tr("the panel has no retention check box")};
      int index = wordIndex();
      if (Result<> checked = setCheck(*box, index > 0, entry.name); !checked) return checked;
      if (index == 0) return accepted();
      // The hold mode is the matrix under the check box.
      static const Entry kHoldMode{"retention", EntryKind::Matrix, "suspendMatrix", "", "", {}};
      return clickRow(kHoldMode, index - 1);
    }
    case EntryKind::Matrix:
      return clickRow(entry, wordIndex());
    case EntryKind::PopUp: {
      auto* popup = find<PopUpButton>(entry.control);
      if (!popup) return Refusal{tr("the panel has no folder pop-up")};
      reveal(*popup);
      if (!popup->isEnabled()) {
        std::string hint = whatToDo(entry.name);
        return Refusal{hint.empty() ? std::string(tr("the pop-up is dimmed"))
                                    : subst(tr("the pop-up is dimmed: %1"), {hint})};
      }
      int index = wordIndex();
      std::string folders;
      if (index < 0) {
        // Folders follow the fixed items and a separator.
        for (int i = static_cast<int>(entry.words.size()); i < popup->numberOfItems(); ++i) {
          const MenuItem* item = popup->itemAtIndex(i);
          if (item->separator) continue;
          if (item->title == assignment.value) index = i;
          folders += (folders.empty() ? "" : ", ") + terminalText(item->title);
        }
      }
      if (index < 0)
        return Refusal{
            subst(tr("no folder \"%1\" in the pop-up (%2)"),
                  {assignment.value, folders.empty()
                                         ? std::string(tr("the printer's folders are not known "
                                                          "yet; run `jobcontrol folders` first"))
                                         : subst(tr("the printer's folders: %1"), {folders})})};
      if (!popup->chooseItem(index))
        return Refusal{subst(tr("the pop-up refused \"%1\""), {assignment.value})};
      return accepted();
    }
    case EntryKind::Button:
      return press(entry.control);
  }
  return Refusal{tr("unknown entry")};
}

}  // namespace jc
