// Lookups over the settings tables.
#include "settings/keys.h"

namespace jc::settings {

char retentionDigit(Retention mode) {
  return static_cast<char>('0' + static_cast<int>(mode));
}

Retention retentionFromDigit(char digit) {
  switch (digit) {
    case '1':
      return Retention::HoldAfterPrint;
    case '2':
      return Retention::HoldOnly;
    case '3':
      return Retention::SamplePrint;
    default:
      return Retention::None;
  }
}

char filingDigit(Filing mode) {
  return static_cast<char>('0' + static_cast<int>(mode));
}

std::optional<Filing> filingFromDigit(char digit) {
  if (digit < '0' || digit > '3') return std::nullopt;
  return static_cast<Filing>(digit - '0');
}

}  // namespace jc::settings
