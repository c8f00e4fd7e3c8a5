// The calendar: the date and the time of day where the user is, for what people plan by the clock
// (working hours, a pause until tomorrow, the days of a history). The monotonic clock of the event
// loop measures intervals; this one says what time it is, and may jump when the user sets it.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

// A day's length on the clock (a calendar day may be an hour longer or shorter).
inline constexpr int64_t kDayMs = 86400000;

struct LocalTime {
  int year = 1970, month = 1, day = 1;  // the calendar date
  int hour = 0, minute = 0, second = 0;
  int weekday = 3;        // 0 Monday ... 6 Sunday
  int offsetMinutes = 0;  // local time minus UTC, daylight saving included
  bool operator==(const LocalTime&) const = default;
};

class Calendar {
 public:
  virtual ~Calendar() = default;
  // Milliseconds since 1970-01-01 00:00 UTC.
  virtual int64_t UtcMs() = 0;
  // The local date and time at `utcMs`, with the offset in force then.
  virtual LocalTime ToLocal(int64_t utcMs) = 0;
  // The moment the local date and time of `local` come (its weekday and offset are not read). A
  // time that a change to daylight saving skips comes as the moment the gap ends; a time that a
  // change back brings twice comes the first time.
  virtual int64_t FromLocal(const LocalTime& local) = 0;
  // Hours and minutes as the user's short time format writes them ("14:30", "2:30 PM").
  virtual std::string ShortTime(int hour, int minute) = 0;
  // The day and month of a date as the user's short date format writes them, without the year
  // ("24/11", "11/24", "24.11").
  virtual std::string ShortDayMonth(int month, int day) = 0;
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);
// 0 Monday ... 6 Sunday.
int WeekdayOfDays(int64_t days);
// The UTC date and time of `utcMs` (offset 0).
LocalTime UtcTime(int64_t utcMs);

// The time zone's rules as a back end knows them: the local wall time of a UTC moment, in
// milliseconds as if it were UTC.
using WallClock = int64_t (*)(int64_t utcMs);
// A UTC moment as local time under `wall`, its offset in whole minutes.
LocalTime LocalTimeOf(int64_t utcMs, WallClock wall);
// The UTC moment of a local time under `wall`: of a time that happens twice (the hour the clocks
// go back) the earlier, and of one that never happens (the hour they go forward) the moment the
// gap ends.
int64_t UtcOfLocal(const LocalTime& local, WallClock wall);

}  // namespace unw
