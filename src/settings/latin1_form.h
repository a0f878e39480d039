// The Latin-1 forms of names meant for the printer side: when they use Windows Latin-1,
// and the scrub that turns control bytes and double quotes into spaces.
#pragma once

#include <cstdint>
#include <span>

namespace jc::settings {

/// Turns every byte 1 to 8, 10 to 31 and the double quote (0x22) into a space; the 0 byte,
/// the tab, 127 and bytes from 128 up stay, so multi-byte text is never split.
void replaceSpaceCode(std::span<std::uint8_t> bytes);

/// Whether the Latin-1 forms use Windows Latin-1 under the system encoding `core` (a core
/// encoding number): true unless it is one of the CJK system encodings (1, 2, 3, 25).
bool usesWindowsLatin1(std::uint32_t core);

}  // namespace jc::settings
