// The spool-time text: names, field widths, the zone figure (offset / 36) in pinned zones,
// and the exported function's buffer limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "settings/spool_time.h"
#include "settings/value_encodings.h"

namespace jc::settings {
namespace {

std::tm moment(int mday, int wday, int mon, long gmtoff) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = mon;
  t.tm_mday = mday;
  t.tm_wday = wday;
  t.tm_hour = 9;
  t.tm_min = 7;
  t.tm_sec = 3;
  t.tm_gmtoff = gmtoff;
  return t;
}

// Pins the process's zone for one scope and puts the previous one back.
struct PinnedZone {
  explicit PinnedZone(const char* tz) : previous(std::getenv("TZ") ? std::getenv("TZ") : "") {
    setenv("TZ", tz, 1);
    tzset();
  }
  ~PinnedZone() {
    previous.empty() ? unsetenv("TZ") : setenv("TZ", previous.c_str(), 1);
    tzset();
  }
  std::string previous;
};

TEST(SpoolTime, FieldsNamesAndWidths) {
  // 30 characters with a one-digit day, 31 with two.
  EXPECT_EQ(spoolTimeText(moment(5, 4, 2, 32400)), "Thu, 5 Mar 2026 09:07:03 +0900");
  EXPECT_EQ(spoolTimeText(moment(15, 0, 11, -18000)), "Sun, 15 Dec 2026 09:07:03 -0500");

  const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  for (int d = 0; d < 7; ++d) EXPECT_EQ(spoolTimeText(moment(1, d, 0, 0)).substr(0, 3), days[d]);
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 0; m < 12; ++m) EXPECT_EQ(spoolTimeText(moment(1, 1, m, 0)).substr(7, 3), months[m]);
  EXPECT_EQ(spoolTimeText(moment(1, 9, 14, 0)).substr(0, 11), "Mon, 1 Jan ");
}

TEST(SpoolTime, ZoneFigureIsTheOffsetDividedBy36TowardZero) {
  const std::pair<long, const char*> zones[] = {
      {0, "+0000"},      {32400, "+0900"}, {-18000, "-0500"}, {19800, "+0550"},
      {-12600, "-0350"}, {20700, "+0575"}, {-35, "+0000"},    {-36, "-0001"}};
  for (const auto& [offset, figure] : zones) {
    const std::string text = spoolTimeText(moment(5, 4, 2, offset));
    EXPECT_EQ(text.substr(text.size() - 5), figure) << offset;
  }
}

TEST(SpoolTime, UsesTheLocalZoneOfTheMoment) {
  // Daylight saving counts: 1 July is summer time in the last zone (UTC+2).
  const struct {
    const char* tz;
    std::time_t at;
    const char* text;
  } cases[] = {{"IST-5:30", 0, "Thu, 1 Jan 1970 05:30:00 +0550"},
               {"NST3:30", 0, "Wed, 31 Dec 1969 20:30:00 -0350"},
               {"CET-1CEST,M3.5.0,M10.5.0/3", 1782864000, "Wed, 1 Jul 2026 02:00:00 +0200"}};
  for (const auto& c : cases) {
    PinnedZone zone(c.tz);
    EXPECT_EQ(spoolTimeTextAt(c.at), c.text);
  }
}

TEST(SpoolTime, ExportedFunctionTakesTheInjectedClockAndStaysWithin32Bytes) {
  PinnedZone zone("UTC0");
  ScopedSpoolClock clock([] { return std::time_t{1767225599}; });  // 31 Dec 2025 23:59:59
  char out[64];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(GetSpoolTime(out), 31);
  EXPECT_STREQ(out, "Wed, 31 Dec 2025 23:59:59 +0000");
  EXPECT_EQ(out[32], 'x');
  EXPECT_EQ(spoolTimeNow(), out);
  EXPECT_EQ(GetSpoolTime(nullptr), 0);

  // A year beyond four digits would make a longer text; the exported buffer still holds.
  ScopedSpoolClock far([] { return std::time_t{253402300800}; });  // 1 Jan 10000
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(GetSpoolTime(out), 31);
  EXPECT_EQ(out[31], '\0');
  EXPECT_EQ(out[32], 'x');
}

}  // namespace
}  // namespace jc::settings
