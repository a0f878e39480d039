// The formatter protocol of text fields: every edit a person makes passes through it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace jc {

/// A range of text in UTF-16 units.
struct TextRange {
  std::size_t location = 0;
  std::size_t length = 0;
  bool operator==(const TextRange&) const = default;
};

/// Decides what a text field may hold and how its object value relates to its text.
class Formatter {
 public:
  virtual ~Formatter() = default;
  /// The text shown for an object value; nullopt for no object.
  virtual std::optional<std::string> stringForObjectValue(
      const std::optional<std::string>& object) const = 0;
  /// Turns text into the object value; answers false (with an optional description) to
  /// refuse the text.
  virtual bool getObjectValue(std::string& object, const std::string& text,
                              std::string* error) const = 0;
  /// Judges an edit in progress: `partial` is the text after the edit and
  /// `proposedSelection` the caret after it; `original` and `originalSelection` are the
  /// state before. Answers false to refuse the edit.
  virtual bool isPartialStringValid(std::u16string& partial, TextRange& proposedSelection,
                                    const std::u16string& original, TextRange originalSelection,
                                    std::string* error) const = 0;
};

}  // namespace jc
