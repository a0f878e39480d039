// The system icons the panel shows: the closed and open padlocks of the hold buttons and
// of protected folders, as images of 18 by 18 points.
#pragma once

#include <cstdint>

#include "platform/base/export.h"
#include "platform/widgets/image.h"

namespace jc {

/// A four-character file-type code, first character in the high byte ('lock' etc.).
constexpr std::uint32_t fourCharCode(const char (&code)[5]) {
  return (std::uint32_t(std::uint8_t(code[0])) << 24) |
         (std::uint32_t(std::uint8_t(code[1])) << 16) |
         (std::uint32_t(std::uint8_t(code[2])) << 8) | std::uint32_t(std::uint8_t(code[3]));
}
inline constexpr std::uint32_t kLockedIcon = fourCharCode("lock");
inline constexpr std::uint32_t kUnlockedIcon = fourCharCode("ulck");

/// Theme icon names a GUI host draws for the two padlocks and for any other type.
inline constexpr const char* kLockedIconName = "changes-prevent-symbolic";
inline constexpr const char* kUnlockedIconName = "changes-allow-symbolic";
inline constexpr const char* kGenericIconName = "text-x-generic";
/// The size every system icon is answered at, in points.
inline constexpr double kSystemIconSize = 18;

/// The shared image for an icon type: the same object on every call for the same type,
/// so a control's image can be compared by identity. Never null; a type without an icon
/// of its own gets the generic document icon.
ImageRef systemIcon(std::uint32_t iconType);

}  // namespace jc

extern "C" {
/// The icon for a four-character file-type code at 18 by 18 points. The image is shared
/// and lives as long as the process: the caller must not free it. Null only when memory
/// ran out on the first call.
JC_EXPORT const jc::Image* initWithSystemIconType(std::uint32_t iconType);
}
