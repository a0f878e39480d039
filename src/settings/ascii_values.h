// Storing ASCII values under print-settings keys: one key, or a long value spread over
// numbered keys ("prefix1", "prefix2", ...) in pieces the printer side can take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/host/print_settings.h"

namespace jc::settings {

/// Longest prefix of numbered keys that is accepted.
inline constexpr std::size_t kMaxNumberedKeyPrefix = 98;
/// Characters per numbered piece.
inline constexpr std::size_t kNumberedPieceLength = 254;

/// Whether every byte of `value` is 7-bit ASCII.
bool isAsciiText(std::string_view value);

/// The numbered key `prefix` + decimal `number`.
std::string numberedKey(std::string_view prefix, std::size_t number);

/// Stores `value` under `key`; an empty or non-ASCII value removes the key instead, since
/// a stored value is always non-empty ASCII text.
void setAsciiValue(PrintSettings& settings, const std::string& key, std::string_view value);

/// Removes numbered key 1, then, for a non-empty value, stores it in pieces of at most 254
/// characters under keys 1..n and removes keys 2..n+1 first, so no piece of a longer earlier
/// value follows the new last piece. A non-ASCII value stores no piece at all (keys 1..n+1
/// end up removed) rather than a value with holes. An empty value removes key 1 only. A
/// prefix that is empty or longer than 98 characters leaves the settings untouched.
void setNumberedAsciiValue(PrintSettings& settings, std::string_view prefix,
                           std::string_view value);

}  // namespace jc::settings
