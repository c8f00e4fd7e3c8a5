#include "backends/fake/fake_calendar.h"

#include <cstdio>

#include "backends/fake/fake_event_loop.h"

namespace unw {

namespace {

// 01:00 UTC on the last Sunday of `month` in `year`.
int64_t LastSundayOneUtc(int year, int month) {
  const int64_t next =
      month == 12 ? DaysFromCivil(year + 1, 1, 1) : DaysFromCivil(year, month + 1, 1);
  int64_t day = next - 1;
  while (WeekdayOfDays(day) != 6) --day;
  return (day * 86400 + 3600) * 1000;
}

}  // namespace

int64_t FakeCalendar::UtcMs() {
  return utcAtZero_ + loop_.NowMs();
}

void FakeCalendar::SetUtc(int64_t utcMs) {
  utcAtZero_ = utcMs - loop_.NowMs();
}

void FakeCalendar::SetLocal(int year, int month, int day, int hour, int minute, int second) {
  SetUtc(FromLocal(LocalTime{year, month, day, hour, minute, second}));
}

int FakeCalendar::OffsetAt(int64_t utcMs) const {
  if (!daylightSaving) return standardOffsetMinutes;
  const int year = UtcTime(utcMs).year;
  const bool summer = utcMs >= LastSundayOneUtc(year, 3) && utcMs < LastSundayOneUtc(year, 10);
  return standardOffsetMinutes + (summer ? 60 : 0);
}

LocalTime FakeCalendar::ToLocal(int64_t utcMs) {
  const int offset = OffsetAt(utcMs);
  LocalTime t = UtcTime(utcMs + offset * 60000LL);
  t.offsetMinutes = offset;
  return t;
}

int64_t FakeCalendar::FromLocal(const LocalTime& l) {
  const int64_t wall =
      (DaysFromCivil(l.year, l.month, l.day) * 86400 + l.hour * 3600 + l.minute * 60 + l.second) *
      1000LL;
  // Try the offsets in force a day either side: the earliest that gives this wall time wins; a
  // wall time none gives lies in a gap, which ends where the later offset begins.
  const int before = OffsetAt(wall - kDayMs), after = OffsetAt(wall + kDayMs);
  for (int offset : {before, after}) {
    const int64_t utc = wall - offset * 60000LL;
    if (OffsetAt(utc) == offset) return utc;
  }
  // In a gap: the first moment that has the later offset.
  int64_t lo = wall - after * 60000LL, hi = wall - before * 60000LL;
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    OffsetAt(mid) == after ? hi = mid : lo = mid + 1;
  }
  return lo;
}

std::string FakeCalendar::ShortTime(int hour, int minute) {
  char buf[16];
  if (twelveHour)
    std::snprintf(buf, sizeof buf, "%d:%02d %s", (hour + 11) % 12 + 1, minute,
                  hour < 12 ? "AM" : "PM");
  else
    std::snprintf(buf, sizeof buf, "%02d:%02d", hour, minute);
  return buf;
}

std::string FakeCalendar::ShortDayMonth(int month, int day) {
  return monthFirst ? std::to_string(month) + "/" + std::to_string(day)
                    : std::to_string(day) + "/" + std::to_string(month);
}

}  // namespace unw
