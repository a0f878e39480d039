// Storing ASCII values under one key and over numbered keys: removal instead of empty or
// non-ASCII values, and which numbered keys are cleared.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/host/print_settings.h"
#include "settings/ascii_values.h"
#include "settings/value_encodings.h"

namespace jc::settings {
namespace {

constexpr const char* kPrefix = "vorelia.print.PrintSettings.loginName1";

std::optional<std::string> piece(const MemoryPrintSettings& s, int n) {
  return s.value(kPrefix + std::to_string(n));
}

TEST(AsciiValue, StoresNonEmptyAsciiAndRemovesEverythingElse) {
  MemoryPrintSettings settings;
  settings.setValue("other", "kept");
  MyPMPrintSetAsciiCStrValue(&settings, "k", "0");
  EXPECT_EQ(settings.value("k"), "0");
  for (const char* removing : {static_cast<const char*>(nullptr), "", "caf\xc3\xa9", "\x80"}) {
    settings.setValue("k", "old");
    MyPMPrintSetAsciiCStrValue(&settings, "k", removing);
    EXPECT_FALSE(settings.value("k"));
  }
  MyPMPrintSetAsciiCStrValue(nullptr, "k", "v");
  MyPMPrintSetAsciiCStrValue(&settings, nullptr, "v");
  EXPECT_EQ(settings.entries().size(), 1u);
  EXPECT_EQ(settings.value("other"), "kept");
}

TEST(NumberedAsciiValue, WritesPiecesOf254AndClearsTheKeyAfterTheLast) {
  using Pieces = std::vector<std::optional<std::string>>;
  const std::string v254(254, 'a'), v255 = v254 + "b";
  const struct {
    const char* value;
    Pieces pieces;
  } cases[] = {{v254.c_str(), {v254, std::nullopt, "old", "old"}},
               {v255.c_str(), {v254, "b", std::nullopt, "old"}},
               {"", {std::nullopt, "old", "old", "old"}},
               {nullptr, {std::nullopt, "old", "old", "old"}}};
  for (const auto& c : cases) {
    MemoryPrintSettings settings;
    for (int n = 1; n <= 4; ++n) settings.setValue(kPrefix + std::to_string(n), "old");
    MyMultiPMPrintSetAsciiCStrValue(&settings, kPrefix, c.value);
    EXPECT_EQ(
        (Pieces{piece(settings, 1), piece(settings, 2), piece(settings, 3), piece(settings, 4)}),
        c.pieces)
        << (c.value ? static_cast<long>(std::strlen(c.value)) : -1L);
  }
}

TEST(NumberedAsciiValue, NonAsciiValuesAndBadPrefixesStoreNothing) {
  MemoryPrintSettings settings;
  for (int n = 1; n <= 3; ++n) settings.setValue(kPrefix + std::to_string(n), "old");
  // One non-ASCII byte in the second piece: no piece at all, not a value with a hole.
  std::string mixed(300, 'a');
  mixed[280] = '\xe9';
  MyMultiPMPrintSetAsciiCStrValue(&settings, kPrefix, mixed.c_str());
  EXPECT_TRUE(settings.entries().empty());

  const std::string prefix98(98, 'p');
  MyMultiPMPrintSetAsciiCStrValue(&settings, prefix98.c_str(), "v");
  EXPECT_EQ(settings.value(prefix98 + "1"), "v");
  const std::string prefix99(99, 'p');
  settings.setValue(prefix99 + "1", "old");
  MyMultiPMPrintSetAsciiCStrValue(&settings, prefix99.c_str(), "v");
  MyMultiPMPrintSetAsciiCStrValue(&settings, "", "v");
  MyMultiPMPrintSetAsciiCStrValue(&settings, nullptr, "v");
  MyMultiPMPrintSetAsciiCStrValue(nullptr, kPrefix, "v");
  EXPECT_EQ(settings.value(prefix99 + "1"), "old");
  EXPECT_EQ(settings.entries().size(), 2u);
}

}  // namespace
}  // namespace jc::settings
