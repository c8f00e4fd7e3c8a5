// The calendar: dates from day counts and back, and local time across daylight-saving changes in
// the fake zone the scenario tests steer.
#include <gtest/gtest.h>

#include "backends/fake/fake_calendar.h"
#include "backends/fake/fake_event_loop.h"

namespace unw {
namespace {

TEST(Calendar, DaysAndDatesAgreeAcrossCenturiesAndLeapDays) {
  struct Case {
    int y, m, d;
    int64_t days;
    int weekday;
  } cases[] = {{1970, 1, 1, 0, 3},    {2000, 2, 29, 11016, 1}, {2026, 12, 7, 20794, 0},
               {1969, 12, 31, -1, 2}, {2100, 3, 1, 47541, 0},  {1600, 1, 1, -135140, 5}};
  for (const Case& c : cases) {
    EXPECT_EQ(DaysFromCivil(c.y, c.m, c.d), c.days) << c.y << "-" << c.m << "-" << c.d;
    int y = 0, m = 0, d = 0;
    CivilFromDays(c.days, y, m, d);
    EXPECT_EQ((std::tuple{y, m, d}), (std::tuple{c.y, c.m, c.d})) << c.days;
    EXPECT_EQ(WeekdayOfDays(c.days), c.weekday) << c.days;
  }
  const LocalTime t = UtcTime(-1);  // one millisecond before 1970
  EXPECT_EQ((std::tuple{t.year, t.hour, t.minute, t.second}), (std::tuple{1969, 23, 59, 59}));
}

TEST(Calendar, TheFakeZoneKeepsDaylightSavingByTheEuropeanRule) {
  FakeEventLoop loop;
  FakeCalendar cal(loop);
  cal.standardOffsetMinutes = 60;
  cal.daylightSaving = true;
  struct Case {
    LocalTime local;  // asked for
    const char* utc;  // the moment it comes, as UTC "YYYY-MM-DD HH:MM"
    int offset;       // the offset then
  } cases[] = {
      {{2026, 1, 15, 12, 0}, "2026-01-15 11:00", 60},
      {{2026, 7, 15, 12, 0}, "2026-07-15 10:00", 120},
      {{2026, 3, 29, 2, 30}, "2026-03-29 01:00", 120},   // skipped: comes as the gap ends (03:00)
      {{2026, 10, 25, 2, 30}, "2026-10-25 00:30", 120},  // twice: the first time
      {{2026, 10, 25, 3, 30}, "2026-10-25 02:30", 60},
  };
  for (const Case& c : cases) {
    const int64_t at = cal.FromLocal(c.local);
    const LocalTime u = UtcTime(at);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", u.year, u.month, u.day, u.hour,
                  u.minute);
    EXPECT_STREQ(text, c.utc) << c.local.month << "/" << c.local.day << " " << c.local.hour;
    EXPECT_EQ(cal.ToLocal(at).offsetMinutes, c.offset) << text;
  }
  cal.SetLocal(2026, 12, 7, 8, 59, 30);
  loop.Advance(30000);
  const LocalTime now = cal.ToLocal(cal.UtcMs());
  EXPECT_EQ((std::tuple{now.hour, now.minute, now.second, now.weekday}), (std::tuple{9, 0, 0, 0}));
  EXPECT_EQ(cal.ShortTime(14, 5), "14:05");
  cal.twelveHour = true;
  EXPECT_EQ(cal.ShortTime(0, 5), "12:05 AM");
  EXPECT_EQ(cal.ShortTime(14, 30), "2:30 PM");
  EXPECT_EQ(cal.ShortDayMonth(11, 24), "24/11");
  cal.monthFirst = true;
  EXPECT_EQ(cal.ShortDayMonth(11, 24), "11/24");
}

}  // namespace
}  // namespace unw
