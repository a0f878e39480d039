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

int retentionRow(Retention mode) {
  switch (mode) {
    case Retention::HoldOnly:
      return 0;
    case Retention::HoldAfterPrint:
      return 1;
    case Retention::SamplePrint:
      return 2;
    case Retention::None:
      break;
  }
  return 0;
}

Retention retentionFromRow(int row) {
  switch (row) {
    case 0:
      return Retention::HoldOnly;
    case 1:
      return Retention::HoldAfterPrint;
    case 2:
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
