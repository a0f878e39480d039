// The entries of `jobcontrol set` and `print`: one table that names each entry, the
// control it drives, where its caption comes from and its hold button.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace jc::cli {

/// How an entry reaches its control.
enum class EntryKind {
  Text,       ///< a text field: its text is replaced keystroke by keystroke
  Retention,  ///< the retention check box and the hold-mode matrix together
  PopUp,      ///< a pop-up item: a fixed word or a folder name
  Matrix,     ///< a radio cell of a matrix, by word
  Hold,       ///< hold=ENTRY / unhold=ENTRY: the hold button of a text entry
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
};

/// Every entry, in the panel's order (the order `show` lists them).
std::span<const Entry> entryTable();

/// The entry named `name`, or nullptr.
const Entry* findEntry(std::string_view name);

/// One ENTRY=VALUE word, split and checked against the table.
struct Assignment {
  std::string word;             ///< as typed, for messages
  const Entry* entry;           ///< the entry, "hold" and "unhold" included
  std::string value;            ///< the text, word or folder name
  const Entry* held = nullptr;  ///< for hold and unhold: the entry whose button it is
};

/// Splits and checks `word`. Refuses, with a message naming the word, an unknown entry, a
/// word outside the entry's choices, or hold/unhold of an entry that has no hold button.
/// A folder name for `filing` is checked later, against the pop-up.
Result<Assignment> parseAssignment(const std::string& word);

}  // namespace jc::cli
