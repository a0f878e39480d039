// The system version and the PPD text encoding, as plain exported functions.
#pragma once

#include <cups/ppd.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/base/export.h"

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
/// The string-class encoding identifier of a LanguageEncoding value, by the table of
/// `getEncodingFromPPD` (30 for nullptr and for any value it does not name).
std::uint64_t encodingFromLanguageEncoding(const char* languageEncoding);
/// The PPD's model name as text, the same for the same PPD every time: its bytes read in
/// `ppdEncoding` (what `getEncodingFromPPD` gave), else in the LanguageEncoding the file
/// itself declares, else as ISO Latin 1, which reads any bytes. libcups reports every PPD
/// as UTF-8 but leaves the model name as the file's bytes, so a Latin-1 or Shift JIS name
/// needs the file's own word. nullopt when the PPD has no model name.
std::optional<std::string> modelNameFromPPD(ppd_file_t* ppd, std::uint64_t ppdEncoding);
}  // namespace jc
