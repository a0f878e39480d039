// The spool-time text: the local date, time and zone figure of a save, which the MD5 texts
// and the run-time key of that save are made from.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <utility>

namespace jc::settings {

/// The longest spool-time text (a two-digit day of the month); a single digit gives 30.
inline constexpr std::size_t kSpoolTimeMaxLength = 31;

/// The spool-time text "Day, D Mon YYYY hh:mm:ss +ZZZZ" of a broken-down local time;
/// `local.tm_gmtoff` gives the zone figure: the offset in seconds divided by 36, cut toward
/// zero, so +5:30 shows as +0550, not +0530 (the printer side computes the same text).
/// A day of the week or month out of range shows as "Mon" or "Jan".
std::string spoolTimeText(const std::tm& local);

/// The spool-time text of the moment `t` in the process's local zone (TZ honoured); empty
/// when the moment has no local time.
std::string spoolTimeTextAt(std::time_t t);

/// The source of the present moment.
using SpoolClock = std::function<std::time_t()>;

/// The spool-time text of the present moment, as the spool clock tells it.
std::string spoolTimeNow();

/// Replaces the spool clock (an empty function restores the system clock) and answers the
/// previous one, so tests can pin the moment of a save.
SpoolClock setSpoolClock(SpoolClock clock);

/// Sets the spool clock for its own lifetime and puts the previous one back.
class ScopedSpoolClock {
 public:
  explicit ScopedSpoolClock(SpoolClock clock) : previous_(setSpoolClock(std::move(clock))) {}
  ~ScopedSpoolClock() { setSpoolClock(std::move(previous_)); }
  ScopedSpoolClock(const ScopedSpoolClock&) = delete;
  ScopedSpoolClock& operator=(const ScopedSpoolClock&) = delete;

 private:
  SpoolClock previous_;
};

}  // namespace jc::settings
