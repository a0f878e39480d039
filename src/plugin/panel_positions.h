// The places of the panel's choices in its layout: the folder pop-up's items and the rows
// of its three matrices, named once for the rules, the actions, the writer and the reader.
#pragma once

#include "settings/keys.h"

namespace jc {

// The folder pop-up: two items from the layout, then, when the printer listed folders, a
// separator and one item per folder in the list's order.
inline constexpr int kQuickFileItem = 0;
inline constexpr int kMainFolderItem = 1;
inline constexpr int kFixedFolderItems = 2;
inline constexpr int kFirstFolderItem = 3;

// The filing matrix.
inline constexpr int kQuickFileRow = 0;
inline constexpr int kMainFolderRow = 1;
inline constexpr int kCustomFolderRow = 2;

// The retention matrix (suspendMatrix).
inline constexpr int kHoldOnlyRow = 0;
inline constexpr int kHoldAfterRow = 1;
inline constexpr int kSamplePrintRow = 2;

// The authentication matrix.
inline constexpr int kLoginRow = 0;
inline constexpr int kUserNumberRow = 1;

/// The retention matrix's row of a retention mode (None gives the hold-only row, shown with
/// the check box off).
constexpr int retentionRow(settings::Retention mode) {
  switch (mode) {
    case settings::Retention::HoldAfterPrint:
      return kHoldAfterRow;
    case settings::Retention::SamplePrint:
      return kSamplePrintRow;
    case settings::Retention::HoldOnly:
    case settings::Retention::None:
      break;
  }
  return kHoldOnlyRow;
}

/// The retention mode of a retention matrix row with retention on; None for other rows.
constexpr settings::Retention retentionFromRow(int row) {
  switch (row) {
    case kHoldOnlyRow:
      return settings::Retention::HoldOnly;
    case kHoldAfterRow:
      return settings::Retention::HoldAfterPrint;
    case kSamplePrintRow:
      return settings::Retention::SamplePrint;
    default:
      return settings::Retention::None;
  }
}

}  // namespace jc
