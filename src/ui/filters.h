// Input filters of the panel's text fields: what a person may type, keystroke by keystroke.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/widgets/formatter.h"

/// The object a login-name filter is told about. The filter keeps a plain reference and
/// makes no call on it; the protocol exists so the field's owner can be named.
class LoginnameInputFilterCallback {
 public:
  virtual ~LoginnameInputFilterCallback() = default;
};

/// What the three filters share: the object value of a field is its text, unconverted.
class PlainTextFilter : public jc::Formatter {
 public:
  /// The text itself; nullopt for no object.
  std::optional<std::string> stringForObjectValue(
      const std::optional<std::string>& object) const override;
  /// Stores `text` itself (never a number) in `object`; always true, `error` untouched.
  bool getObjectValue(std::string& object, const std::string& text,
                      std::string* error) const override;
};

/// The base of the two counting filters: a number-format pattern that is kept but plays
/// no part in editing, and the largest number of UTF-16 units the field may reach.
class CountingFilter : public PlainTextFilter {
 public:
  /// Keeps the number-format pattern (for example "##0"); it does not affect editing.
  void setFormat(std::string format) { format_ = std::move(format); }
  const std::string& format() const { return format_; }
  /// Stores the count in `maxValue`. 0 (never set) refuses every insertion; a negative
  /// count, compared without sign, allows any length.
  void SetmaxCharactersCount(std::int64_t count) { maxValue = count; }
  std::int64_t maxCharactersCount() const { return maxValue; }

  /// Accepts deletions and selection changes always; accepts an insertion when every
  /// inserted unit passes `acceptsUnit`, the text before the edit is shorter than the count
  /// and the text after it is not longer. Never changes `partial` or `proposedSelection`.
  /// A refusal writes its reason to `error` when given: `unitRefusal()`, or "the field
  /// takes at most N characters".
  bool isPartialStringValid(std::u16string& partial, jc::TextRange& proposedSelection,
                            const std::u16string& original, jc::TextRange originalSelection,
                            std::string* error) const override;

 protected:
  /// Whether one inserted UTF-16 unit may enter the field.
  virtual bool acceptsUnit(char16_t unit) const = 0;
  /// Why a unit that `acceptsUnit` refuses may not enter the field.
  virtual const char* unitRefusal() const { return "the field's input filter refuses it"; }

 private:
  std::int64_t maxValue = 0;
  std::string format_;
};

/// Decimal digits (U+0030 to U+0039) only, up to the count.
class MyIntegerNumberFilter : public CountingFilter {
 protected:
  bool acceptsUnit(char16_t unit) const override;
  const char* unitRefusal() const override { return "the field takes digits only"; }
};

/// Any character, up to the count of UTF-16 units.
class MyRomanFilter : public CountingFilter {
 protected:
  bool acceptsUnit(char16_t unit) const override;
};

/// Accepts every edit of any length; remembers the callback object it is given.
class LoginnameInputFilter : public PlainTextFilter {
 public:
  /// Stores `callback` (not owned, may be null); the filter makes no call on it.
  void setCallback(LoginnameInputFilterCallback* callback) { m_context = callback; }
  LoginnameInputFilterCallback* callback() const { return m_context; }
  /// Always true; changes nothing.
  bool isPartialStringValid(std::u16string& partial, jc::TextRange& proposedSelection,
                            const std::u16string& original, jc::TextRange originalSelection,
                            std::string* error) const override;

 private:
  LoginnameInputFilterCallback* m_context = nullptr;
};
