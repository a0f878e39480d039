// The spool-time text from the clock and the local zone (localtime_r, tm_gmtoff).
#include "settings/spool_time.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace jc::settings {

namespace {

SpoolClock& clockSlot() {
  static SpoolClock clock;
  return clock;
}

}  // namespace

std::string spoolTimeText(const std::tm& local) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = local.tm_wday >= 0 && local.tm_wday < 7 ? kDays[local.tm_wday] : "Mon";
  const char* month = local.tm_mon >= 0 && local.tm_mon < 12 ? kMonths[local.tm_mon] : "Jan";
  // Not hours and minutes: the printer side divides the offset in seconds by 36, and the
  // texts must match byte for byte. C++ integer division cuts toward zero, as it must.
  const long zone = local.tm_gmtoff / 36;
  char text[96];
  const int n =
      std::snprintf(text, sizeof text, "%s, %d %s %04lld %02d:%02d:%02d %+05ld", day, local.tm_mday,
                    month, 1900LL + local.tm_year, local.tm_hour, local.tm_min, local.tm_sec, zone);
  return n > 0 ? std::string(text,
                             std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1))
               : std::string();
}

std::string spoolTimeTextAt(std::time_t t) {
  // localtime_r reads TZ only once per process; tzset picks up a zone changed since.
  tzset();
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return {};
  return spoolTimeText(local);
}

std::string spoolTimeNow() {
  const SpoolClock& clock = clockSlot();
  return spoolTimeTextAt(clock ? clock() : std::time(nullptr));
}

SpoolClock setSpoolClock(SpoolClock clock) {
  return std::exchange(clockSlot(), std::move(clock));
}

}  // namespace jc::settings
