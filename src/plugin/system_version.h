// The system version and the PPD text encoding, as plain exported functions.
#pragma once

#include <cups/ppd.h>

#include <cstdint>
#include <string>

#include "platform/export.h"

extern "C" {
/// Overwrites *major, *minor and *revision with the components the system version has
/// (read from the system version property list); the others keep the caller's values.
/// Null pointers are skipped.
JC_EXPORT void get_system_version(std::int32_t* major, std::int32_t* minor, std::int32_t* revision);
/// True when the system version is later than 10.4 (major above 10, or 10 with minor above 4).
JC_EXPORT bool runningOnLeopardOrLater(void);
/// The string-class encoding identifier of a PPD's LanguageEncoding: 5 "ISOLatin1",
/// 12 "WindowsANSI", 8 "JIS83-RKSJ", 4 "UTF-8" or "UTF8" (exact, case-sensitive), else 30,
/// also with no PPD or no LanguageEncoding.
JC_EXPORT std::uint64_t getEncodingFromPPD(const ppd_file_t* ppd);
}

namespace jc {
/// The property-list file `get_system_version` reads.
inline constexpr const char* kSystemVersionFile =
    "/System/Library/CoreServices/SystemVersion.plist";
/// Points `get_system_version` at another file (tests); an empty path restores the default.
void setSystemVersionFile(std::string path);
}  // namespace jc
