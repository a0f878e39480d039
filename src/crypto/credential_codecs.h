// The credential codecs as exported C functions: the names and argument orders a program
// that loads the plug-in looks up. C++ code of the panel calls the jc::crypto functions.
#pragma once

#include "platform/base/export.h"

extern "C" {

/// Enciphers the NUL-terminated `in` under the stored key into `out` (`outsize` bytes,
/// callers give 511): `out` is first zeroed, then receives strlen(in) brought up to a
/// multiple of 16 cipher bytes, as many whole blocks as fit. Nothing happens when a
/// pointer is null or outsize is not positive; an empty text leaves `out` all zeros.
JC_EXPORT void my_aes_encrypt(const char* in, unsigned char* out, int outsize) noexcept;

/// As my_aes_encrypt, under the run-time key: the last 16 characters of the NUL-terminated
/// `keytext`. A key text shorter than 16 characters gives no key: `out` stays all zeros.
JC_EXPORT void my_aes_encrypt2(const char* in, const char* keytext, unsigned char* out,
                               int outsize) noexcept;

/// Deciphers `inlen` bytes of `in` under the stored key into `out` (at least inlen + 1
/// bytes) and writes a NUL at out[inlen]. Only whole 16-byte blocks are deciphered: the
/// bytes of a trailing partial block are not read and their places in `out` become 0.
/// A null pointer does nothing; an inlen of 0 or less gives the empty text.
JC_EXPORT void my_aes_decrypt(const unsigned char* in, int inlen, char* out) noexcept;

/// ((len + 2) / 3) * 4 + 1: the Base64 text of len bytes plus its NUL (1 for len <= 0).
/// 0 when that would not fit in an int.
JC_EXPORT int Base64encode_len(int len) noexcept;

/// Writes the Base64 text of `len` bytes and a NUL to `encoded` (Base64encode_len(len)
/// bytes). Answers the characters written, NUL included: 1 for len <= 0 or null `bytes`,
/// 0 (nothing written) for a null `encoded` or a len too large to encode.
JC_EXPORT int Base64encode(char* encoded, const char* bytes, int len) noexcept;

/// ((m + 3) / 4) * 3 + 1, m being the number of leading characters of the NUL-terminated
/// `coded` that belong to the alphabet: enough room for Base64decode. 1 for null.
JC_EXPORT int Base64decode_len(const char* coded) noexcept;

/// Decodes the leading alphabet characters of `coded` into `plain` (Base64decode_len
/// bytes) followed by a 0 byte. Answers the bytes decoded, the 0 not counted; 0 and
/// nothing written when a pointer is null.
JC_EXPORT int Base64decode(char* plain, const char* coded) noexcept;

/// Writes the MD5 text (32 lower-case hexadecimal digits and a NUL) of the NUL-terminated
/// `text` to `out` (33 bytes). Nothing happens when either pointer is null.
JC_EXPORT void calcMD5(char* out, const char* text) noexcept;

}  // extern "C"
