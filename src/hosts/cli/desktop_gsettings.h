// The user's GNOME module lists (the settings daemon's enabled-gtk-modules and
// disabled-gtk-modules), read and written through the `gsettings` program so the command
// links no GIO for a switch used once.
#pragma once

#include <string>
#include <vector>

#include "platform/base/result.h"

namespace jc::cli {

/// The two lists the settings daemon adds to and takes from the modules of its folder.
struct GnomeModuleLists {
  std::vector<std::string> enabled, disabled;
};

/// Where the lists live, for messages.
inline constexpr const char* kGnomeXsettingsSchema = "org.gnome.settings-daemon.plugins.xsettings";

/// The calling user's lists; refused, saying why, when `gsettings` or the settings
/// daemon's schema is not installed or the settings cannot be kept (no dconf).
Result<GnomeModuleLists> readGnomeModuleLists();

/// Changes the calling user's lists from `before` to `after`: a list that did not change
/// is not touched, and one left empty goes back to its default (nothing stays behind).
/// Refused with gsettings' own reason.
Result<> writeGnomeModuleLists(const GnomeModuleLists& before, const GnomeModuleLists& after);

}  // namespace jc::cli
