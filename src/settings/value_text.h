// Small helpers the writer, reader and preference store share: hex and cipher texts of
// byte strings, left-filling, and text made from stored bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/hex_text.h"

namespace jc::settings {

/// The bytes of `text` up to its first 0 byte.
std::string_view untilNul(std::string_view text);
/// A code of 1 to 4 bytes with "0" in front up to 5 characters; longer codes unchanged.
std::string leftFilled(std::string_view code);
/// The stored-key cipher of `plain` (read as a C string), `blockBytes` bytes of the
/// zero-filled cipher area, as hexadecimal text.
std::string storedCipherHex(const std::string& plain, std::size_t blockBytes);
/// The length of `plain` as a C string, brought up to a multiple of 16.
std::size_t cipherLength(const std::string& plain);
/// Base64 text of the stored-key cipher of `plain` (its cipher length).
std::string storedCipherBase64(const std::string& plain);
/// Base64 text of the run-time-key cipher of `plain` under the spool-time text `spoolTime`.
std::string runTimeCipherBase64(const std::string& plain, const std::string& spoolTime);
/// Deciphers `cipher` (whole 16-byte blocks) with the stored key; the plain bytes up to the
/// first 0 byte.
std::string storedDecipher(std::string_view cipher);
/// Text from stored bytes in encoding `core`; bytes that are not text there show as U+FFFD.
std::string textFromStoredBytes(std::string_view bytes, std::uint32_t core);

}  // namespace jc::settings
