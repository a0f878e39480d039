// ASCII values under one key or spread over numbered keys.
#include "settings/ascii_values.h"

#include <algorithm>
#include <charconv>

namespace jc::settings {

bool isAsciiText(std::string_view value) {
  return std::all_of(value.begin(), value.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string numberedKey(std::string_view prefix, std::size_t number) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  std::string key(prefix);
  key.append(digits, result.ptr);
  return key;
}

void setAsciiValue(PrintSettings& settings, const std::string& key, std::string_view value) {
  if (value.empty() || !isAsciiText(value)) {
    settings.setValue(key, std::nullopt);
  } else {
    settings.setValue(key, std::string(value));
  }
}

void setNumberedAsciiValue(PrintSettings& settings, std::string_view prefix,
                           std::string_view value) {
  if (prefix.empty() || prefix.size() > kMaxNumberedKeyPrefix) return;
  settings.setValue(numberedKey(prefix, 1), std::nullopt);
  if (value.empty()) return;
  const std::size_t pieces = (value.size() + kNumberedPieceLength - 1) / kNumberedPieceLength;
  for (std::size_t i = 2; i <= pieces + 1; ++i)
    settings.setValue(numberedKey(prefix, i), std::nullopt);
  // The reader joins the pieces; a value with a piece missing would come back corrupted.
  if (!isAsciiText(value)) return;
  for (std::size_t i = 0; i < pieces; ++i) {
    setAsciiValue(settings, numberedKey(prefix, i + 1),
                  value.substr(i * kNumberedPieceLength, kNumberedPieceLength));
  }
}

}  // namespace jc::settings
