// The input filters: digits or any characters up to a count, and the accept-all login filter.
#include "ui/filters.h"

#include <algorithm>
#include <string>

std::optional<std::string> PlainTextFilter::stringForObjectValue(
    const std::optional<std::string>& object) const {
  return object;
}

bool PlainTextFilter::getObjectValue(std::string& object, const std::string& text,
                                     std::string*) const {
  object = text;
  return true;
}

bool CountingFilter::isPartialStringValid(std::u16string& partial, jc::TextRange& proposedSelection,
                                          const std::u16string& original,
                                          jc::TextRange originalSelection,
                                          std::string* error) const {
  auto refuse = [error](std::string reason) {
    if (error) *error = std::move(reason);
    return false;
  };
  // The inserted text runs from where the old selection began to the proposed caret. A
  // caret that does not move past that point means a deletion or a mere selection change.
  const std::size_t start = originalSelection.location;
  if (proposedSelection.location <= start) return true;
  const std::size_t from = std::min(start, partial.size());
  const std::u16string_view inserted =
      std::u16string_view(partial).substr(from, proposedSelection.location - start);
  if (inserted.empty()) return refuse(unitRefusal());  // an insertion that cannot be located

  // Every inserted unit is checked, not only the first, and the text after the edit must
  // stay within the count: otherwise a paste could put letters into a number field, or
  // more digits than a pass code can have, which the printer side would then reject.
  if (!std::all_of(inserted.begin(), inserted.end(), [this](char16_t u) { return acceptsUnit(u); }))
    return refuse(unitRefusal());
  const auto limit = static_cast<std::uint64_t>(maxValue);
  if (original.size() < limit && partial.size() <= limit) return true;
  return refuse("the field takes at most " + std::to_string(maxValue) + " characters");
}

bool MyIntegerNumberFilter::acceptsUnit(char16_t unit) const {
  return unit >= u'0' && unit <= u'9';
}

bool MyRomanFilter::acceptsUnit(char16_t) const {
  return true;
}

bool LoginnameInputFilter::isPartialStringValid(std::u16string&, jc::TextRange&,
                                                const std::u16string&, jc::TextRange,
                                                std::string*) const {
  return true;
}
