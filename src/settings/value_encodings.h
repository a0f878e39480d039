// The value encodings, spool time and print-settings setters as exported C functions: the
// names and argument orders a program that loads the plug-in looks up. C++ code of the
// panel calls the jc::settings functions these wrap.
#pragma once

#include <cstdint>

#include "platform/base/export.h"

namespace jc {
class PrintSettings;
}

extern "C" {

/// Writes the spool-time text of the present moment to `out` (at least 32 bytes; callers
/// give 64) and answers its length, 30 or 31. 0 and the empty text when the moment has no
/// local time; 0 and nothing written for a null `out`. Never writes more than 32 bytes.
JC_EXPORT int GetSpoolTime(char* out) noexcept;

/// Writes the upper-case hex text of `len` bytes of `in` and a NUL to `out` (2 * len + 1
/// bytes). len 0 gives the empty text; a null `in` gives the empty text; a null `out` does
/// nothing.
JC_EXPORT void myitoa(const unsigned char* in, char* out, uint32_t len) noexcept;

/// Decodes `len` characters of hex text `in` into `out` (len / 2 + 1 bytes): the bytes
/// followed by a 0 byte. Characters other than 0-9, A-F and a-f count as 0; an odd last
/// character is ignored. A null `in` gives just the 0 byte; a null `out` does nothing.
JC_EXPORT void myatoi(const char* in, unsigned char* out, uint32_t len) noexcept;

/// Turns the bytes 1-8, 10-31 and '"' of buf[0..len) into spaces; len below 1 or a null
/// buffer does nothing.
JC_EXPORT void ReplaceSpaceCode(unsigned char* buf, int64_t len) noexcept;

/// True unless the system encoding is one of the CJK system encodings.
JC_EXPORT bool encodingWindowsLatin1(void) noexcept;

/// Stores the NUL-terminated ASCII `value` under `key`; a null, empty or non-ASCII value
/// removes the key. A null settings or key does nothing.
JC_EXPORT void MyPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* key,
                                          const char* value) noexcept;

/// Stores `value` in pieces of at most 254 characters under `prefix`1, `prefix`2, ... and
/// removes the numbered key after the last piece; a null or empty value removes key 1
/// only. Does nothing for a null settings, or a null, empty or over-long (more than 98
/// characters) prefix.
JC_EXPORT void MyMultiPMPrintSetAsciiCStrValue(jc::PrintSettings* settings, const char* prefix,
                                               const char* value) noexcept;

}  // extern "C"
