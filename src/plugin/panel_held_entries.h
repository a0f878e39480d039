// The panel's hold button for each remembered entry.
#pragma once

#include "plugin/panel.h"
#include "settings/keys.h"

namespace jc::settings {

/// The hold button of `entry` on `panel` (possibly absent).
jc::Outlet<jc::Button>& holdButtonFor(VoreliaPrintPdeTz630eJC& panel, HeldEntry entry);

/// The hold-button mask of the panel's buttons that are on; absent buttons count as off.
std::uint32_t holdButtonMask(VoreliaPrintPdeTz630eJC& panel);

}  // namespace jc::settings
