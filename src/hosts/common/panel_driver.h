// Driving a loaded panel as a person does: finding its controls by outlet name in the
// view tree, typing into fields through their input filters, clicking buttons, cells and
// pop-up items so that their actions run.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/common/entries.h"
#include "platform/base/result.h"
#include "platform/widgets/controls.h"

namespace jc {

/// The longest text typed into a field key by key, in characters; a longer one is pasted.
inline constexpr std::size_t kMaxTypedCharacters = 1024;

/// A folder of the panel's pop-up menu: the printer's name for it, and whether a padlock
/// marks it as protected.
struct PanelFolder {
  std::string name;
  bool protectedFolder;
};

/// The controls of one panel view, by outlet name.
class PanelDriver {
 public:
  /// Indexes the tree under `root` (nullptr: a panel without controls).
  /// The view goes into the driver's window for the driver's life.
  explicit PanelDriver(std::shared_ptr<View> root);
  ~PanelDriver();
  PanelDriver(const PanelDriver&) = delete;
  PanelDriver& operator=(const PanelDriver&) = delete;

  /// The control with outlet name `id`, or nullptr when the layout lacks it.
  Control* find(std::string_view id) const;
  template <class T>
  T* find(std::string_view id) const {
    return dynamic_cast<T*>(find(id));
  }

  /// The caption a user reads for `entry`: its caption control's text or title, the
  /// control's own title, or the title of the box or tab around it. "" when none.
  std::string caption(const Entry& entry) const;
  /// The tab label and box title around `control`, joined by " / " ("" at the top).
  std::string section(const Control& control) const;

  /// Applies one entry as user events: accepted when it was taken; otherwise refused with
  /// the reason (an absent or dimmed control, a refused keystroke, an unknown folder).
  Result<> apply(const Assignment& assignment);

  /// Replaces the text of field `id` as a person does: click into it, select all, delete,
  /// then type `text` key by key (a text of more than kMaxTypedCharacters is pasted in one
  /// edit, so any length takes linear time); the field's action is sent at the end, as when
  /// editing ends. A refused key or paste is refused with the input filter's own reason.
  Result<> typeInto(std::string_view id, const std::string& text);

  /// The printer's folders the folder pop-up offers now, in its order (none without it).
  std::vector<PanelFolder> folders() const;

  /// Clicks push button `id`.
  Result<> press(std::string_view id);

  /// Why the control of entry `name` is dimmed, and the entry to give first, read from
  /// the controls that govern it now ("" when nothing governs it).
  std::string whatToDo(std::string_view name) const;

 private:
  // Brings the control's tab to the front, as a person clicks the tab first.
  void reveal(Control& control);
  Result<> setCheck(Button& box, bool on, std::string_view entry);
  Result<> clickRow(const Entry& entry, int row);

  std::shared_ptr<View> root_;
  Window window_;
  std::size_t focusToken_ = 0;
  Control* focused_ = nullptr;
  std::map<std::string, Control*, std::less<>> byId_;
};

}  // namespace jc
