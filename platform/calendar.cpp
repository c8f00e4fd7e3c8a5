#include "platform/calendar.h"

#include <algorithm>

namespace unw {

// Howard Hinnant's algorithms: exact for every date, no tables.
int64_t DaysFromCivil(int year, int month, int day) {
  const int64_t y = static_cast<int64_t>(year) - (month <= 2);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int WeekdayOfDays(int64_t days) {
  // 1970-01-01 was a Thursday.
  const int64_t w = (days + 3) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w);
}

LocalTime UtcTime(int64_t utcMs) {
  int64_t seconds = utcMs / 1000;
  if (utcMs % 1000 < 0) --seconds;
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  LocalTime t;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest % 3600 / 60);
  t.second = static_cast<int>(rest % 60);
  t.weekday = WeekdayOfDays(days);
  t.offsetMinutes = 0;
  return t;
}

LocalTime LocalTimeOf(int64_t utcMs, WallClock wall) {
  const int64_t ms = wall(utcMs);
  LocalTime t = UtcTime(ms);
  // Whole minutes: the milliseconds a conversion keeps do not make an offset.
  t.offsetMinutes = static_cast<int>((ms - utcMs) / 60000);
  return t;
}

int64_t UtcOfLocal(const LocalTime& l, WallClock wall) {
  const int64_t ms =
      (DaysFromCivil(l.year, l.month, l.day) * 86400 + l.hour * 3600 + l.minute * 60 + l.second) *
      1000LL;
  // The offsets in force a day either side; the earliest that gives this wall time wins, and a
  // wall time that none gives lies in a gap that ends where the later offset begins.
  const int64_t before = wall(ms - kDayMs) - (ms - kDayMs);
  const int64_t after = wall(ms + kDayMs) - (ms + kDayMs);
  for (int64_t offset : {before, after}) {
    const int64_t utc = ms - offset;
    if (wall(utc) - utc == offset) return utc;
  }
  int64_t lo = ms - std::max(before, after), hi = ms - std::min(before, after);
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    wall(mid) - mid == after ? hi = mid : lo = mid + 1;
  }
  return lo;
}

}  // namespace unw
