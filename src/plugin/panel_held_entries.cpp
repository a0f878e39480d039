// Hold buttons by entry, and the mask of those that are on.
#include "plugin/panel_held_entries.h"

namespace jc::settings {

jc::Outlet<jc::Button>& holdButtonFor(VoreliaPrintPdeTz630eJC& panel, HeldEntry entry) {
  switch (entry) {
    case HeldEntry::PassCode:
      return panel.suspendKeyButton;
    case HeldEntry::LoginName:
      return panel.loginNameButton;
    case HeldEntry::Password:
      return panel.passwordButton;
    case HeldEntry::UserName:
      return panel.userNameButton;
    case HeldEntry::JobName:
      return panel.jobNameButton;
    case HeldEntry::FolderPassCode:
      return panel.folderPasswordButton;
    case HeldEntry::UserNumber:
      return panel.userNumberButton;
    case HeldEntry::AccountNumber:
      return panel.accountNumberButton;
    case HeldEntry::FolderName:
      return panel.folderNameButton;
  }
  return panel.suspendKeyButton;  // unreachable: every entry is listed
}

std::uint32_t holdButtonMask(VoreliaPrintPdeTz630eJC& panel) {
  std::uint32_t mask = 0;
  for (const HeldEntryRow& row : kHeldEntries)
    if (holdButtonFor(panel, row.entry)->state() != 0) mask |= row.bit;
  return mask;
}

}  // namespace jc::settings
