// The entries of `jobcontrol set` and `print`: one table that names each entry, the
// control it drives, where its caption comes from and its hold button.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/result.h"

namespace jc {

/// How an entry reaches its control.
enum class EntryKind {
  Text,       ///< a text field: its text is replaced keystroke by keystroke
  Retention,  ///< the retention check box and the hold-mode matrix together
  PopUp,      ///< a pop-up item: a fixed word or a folder name
  Matrix,     ///< a radio cell of a matrix, by word
  Hold,       ///< lock=ENTRY / unlock=ENTRY (hold=, unhold=): the padlock of a text entry
  Button,     ///< a push button (shown only; `folders` presses it)
};

/// One entry: its name, its control (outlet name), the control whose text is its caption
/// ("" for the control's own title), its hold button ("" for none), and for click
/// entries the words, one per row or item in order.
struct Entry {
  std::string_view name;
  EntryKind kind;
  std::string_view control;
  std::string_view caption;
  std::string_view holdButton;
  std::vector<std::string_view> words;
  bool secret = false;  ///< its value is never shown, and `=-` asks for it
};

/// Every entry, in the panel's order (the order `show` lists them).
std::span<const Entry> entryTable();

/// The entry named `name`, or nullptr.
const Entry* findEntry(std::string_view name);

/// One ENTRY=VALUE word, split and checked against the table.
struct Assignment {
  std::string word;             ///< as typed, for messages (a secret's value hidden)
  const Entry* entry;           ///< the entry, "lock" and "unlock" included
  std::string value;            ///< the text, word or folder name
  const Entry* held = nullptr;  ///< for lock and unlock: the entry whose button it is
  /// Whether it turns the padlock on (lock=, hold=) rather than off.
  bool locks() const;
};

/// Splits and checks `word`. Refuses, with a message naming the word, an unknown entry
/// (with the nearest name), a word outside the entry's choices, or lock/unlock of an entry
/// that has no padlock. A folder name for `filing` is checked later, against the pop-up.
/// A secret's value never appears in the message.
Result<Assignment> parseAssignment(const std::string& word);

}  // namespace jc
