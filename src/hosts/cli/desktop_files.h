// The texts the desktop switch reads and writes: colon-separated module lists, the
// gtk-modules key of GTK 3's settings.ini, a GSettings string list as `gsettings` prints
// it, and the two small files it writes whole. Text in, text out: no file is touched here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/result.h"

namespace jc::cli {

/// GTK's name of the Job Control module: what GTK_MODULES, gtk-modules and the settings
/// daemon's lists hold.
inline constexpr std::string_view kGtk3ModuleName = "jobcontrol-gtk3-module";

/// Whether the colon-separated `list` has `name` as one of its items.
bool listHas(std::string_view list, std::string_view name);

/// `list` with `name` appended when it is not there yet; every other item stays, in order.
std::string listWith(std::string_view list, std::string_view name);

/// `list` without any item equal to `name`; every other item stays, in order, and empty
/// items (a stray "::") go.
std::string listWithout(std::string_view list, std::string_view name);

/// The value of `gtk-modules` in the [Settings] group of a settings.ini text (the last
/// one, as GTK takes it), or nullopt when the key is absent. Refused, naming the line,
/// when the text is not a key file GTK would read (a line that is neither blank, a
/// comment, a [group] nor KEY=VALUE, or a key before any group).
Result<std::optional<std::string>> gtkModulesOf(std::string_view ini);

/// The settings.ini text with `gtk-modules` set to `value`, or removed for nullopt. Every
/// other line stays byte for byte: the key is changed where it stands (earlier duplicates
/// go), else added at the end of the [Settings] group, which is added when missing. A
/// file left with nothing but an empty [Settings] group comes back empty. Refused as
/// `gtkModulesOf` refuses.
Result<std::string> withGtkModules(std::string_view ini, const std::optional<std::string>& value);

/// The strings of a GVariant string array as `gsettings get` prints it ("@as []",
/// "['a', \"b'c\"]"); refused when it is not one.
Result<std::vector<std::string>> parseStringList(std::string_view text);

/// A GVariant string array that `gsettings set` reads back as `items`.
std::string formatStringList(const std::vector<std::string>& items);

/// The settings daemon's description of the module: listed in its gtk-modules folder, it
/// joins the Gtk/Modules setting GNOME publishes to every GTK 3 application.
std::string gnomeModuleDesktopFile();

/// The systemd environment.d entry that adds the module to GTK_MODULES, keeping the
/// modules named before it.
std::string environmentEntry();

/// Whether an environment.d file's text is the entry that adds the module (a file of the
/// same name without it, in the user's folder, masks the system's).
bool environmentEntryEnables(std::string_view text);

}  // namespace jc::cli
