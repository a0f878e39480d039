// The mask of the hold buttons that are on.
#include "plugin/panel_held_entries.h"

namespace jc {

std::uint32_t holdButtonMask(const VoreliaPrintPdeTz630eJC& panel) {
  std::uint32_t mask = 0;
  for (const HeldEntryRow& row : kHeldEntries)
    if ((panel.*row.holdButton)->state() != 0) mask |= row.bit;
  return mask;
}

}  // namespace jc
