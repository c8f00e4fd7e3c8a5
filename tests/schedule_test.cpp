// The clock arithmetic of working hours and timed pauses on the fake calendar: a zone one hour
// east of UTC that keeps daylight saving (in 2026 from Sunday 29 March, when 02:00-03:00 is
// skipped, to Sunday 25 October, when 02:00-03:00 comes twice), across midnight, days off and
// weeks; the stored end of a pause; the tooltips and the /status lines.
#include <gtest/gtest.h>

#include <cstdio>

#include "cycle/schedule.h"
#include "cycle/status_line.h"
#include "backends/fake/fake_calendar.h"
#include "backends/fake/fake_event_loop.h"
#include "week_hours.h"

namespace unw {
namespace {

// A moment by its local date and time; `later` picks the second of a time that comes twice.
struct When {
  int y, m, d, h, mi, s = 0;
  int64_t later = 0;
};

class ScheduleTest : public ::testing::Test {
 protected:
  ScheduleTest() {
    cal.standardOffsetMinutes = 60;
    cal.daylightSaving = true;
  }
  int64_t At(const When& w) { return cal.FromLocal({w.y, w.m, w.d, w.h, w.mi, w.s}) + w.later; }
  // "Mon 2026-12-07 09:00 +60": what the user's clock shows, with the offset in force.
  std::string Local(std::optional<int64_t> at) {
    if (!at) return "none";
    static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const LocalTime t = cal.ToLocal(*at);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s %04d-%02d-%02d %02d:%02d%s +%d", kDays[t.weekday], t.year,
                  t.month, t.day, t.hour, t.minute,
                  t.second ? (":" + std::to_string(t.second)).c_str() : "", t.offsetMinutes);
    return buf;
  }

  FakeEventLoop loop;
  FakeCalendar cal{loop};
};

TEST_F(ScheduleTest, WorkingTimeItsEndAndTheNextStartAcrossAWeek) {
  // Weekdays 09:00-17:00, Saturday off, Sunday evening up to midnight.
  WorkingHours week = kWeekdays;
  week.days[6] = {true, H(20), H(24)};
  // Sundays only: within the hour the clock skips in spring, around it, across the hour that comes
  // twice in autumn.
  const WorkingHours inGap = Hours({{6, H(2), H(2, 30)}}), aroundGap = Hours({{6, H(1), H(4)}}),
                     twice = Hours({{6, H(2, 30), H(3, 30)}});
  struct Case {
    WorkingHours hours;
    When now;
    const char* end;   // of the working hours that hold `now`; none: `now` is not working time
    const char* next;  // the next start after `now`
  } cases[] = {
      {week, {2026, 12, 7, 8, 59, 59}, "none", "Mon 2026-12-07 09:00 +60"},
      {week, {2026, 12, 7, 9, 0}, "Mon 2026-12-07 17:00 +60", "Tue 2026-12-08 09:00 +60"},
      {week, {2026, 12, 7, 16, 59, 59}, "Mon 2026-12-07 17:00 +60", "Tue 2026-12-08 09:00 +60"},
      {week, {2026, 12, 7, 17, 0}, "none", "Tue 2026-12-08 09:00 +60"},
      // Friday evening: Saturday is off, Sunday's hours start in the evening.
      {week, {2026, 12, 11, 17, 30}, "none", "Sun 2026-12-13 20:00 +60"},
      {week, {2026, 12, 12, 12, 0}, "none", "Sun 2026-12-13 20:00 +60"},
      // Across midnight: Sunday's hours end as Monday begins, Monday's start at nine.
      {week, {2026, 12, 13, 23, 59, 59}, "Mon 2026-12-14 00:00 +60", "Mon 2026-12-14 09:00 +60"},
      {week, {2026, 12, 14, 0, 0}, "none", "Mon 2026-12-14 09:00 +60"},
      // One working day a week: after it, the same day next week; none at all: never.
      {Hours({{2, H(9), H(17)}}), {2026, 12, 9, 18, 0}, "none", "Wed 2026-12-16 09:00 +60"},
      {Hours({}), {2026, 12, 9, 12, 0}, "none", "none"},
      // Into summer time: Friday's start is an hour later in UTC than Monday's.
      {kWeekdays, {2026, 3, 28, 18, 0}, "none", "Mon 2026-03-30 09:00 +120"},
      // The night the clock skips 02:00-03:00: hours within the gap never happen; hours around it
      // last two real hours.
      {inGap, {2026, 3, 29, 0, 30}, "none", "Sun 2026-04-05 02:00 +120"},
      {aroundGap, {2026, 3, 29, 3, 30}, "Sun 2026-03-29 04:00 +120", "Sun 2026-04-05 01:00 +120"},
      // The night 02:00-03:00 comes twice: 02:30-03:30 begins the first time and ends after the
      // second, so the second 02:45 is working time too.
      {twice, When{2026, 10, 25, 2, 45, 0, 3600000}, "Sun 2026-10-25 03:30 +60",
       "Sun 2026-11-01 02:30 +60"},
      {twice, {2026, 10, 25, 2, 15}, "none", "Sun 2026-10-25 02:30 +120"},
  };
  for (const Case& c : cases) {
    const int64_t now = At(c.now);
    SCOPED_TRACE(Local(now));
    EXPECT_EQ(WithinWorkingHours(c.hours, cal, now), std::string(c.end) != "none");
    EXPECT_EQ(Local(WorkEnd(c.hours, cal, now)), c.end);
    EXPECT_EQ(Local(NextWorkStart(c.hours, cal, now)), c.next);
  }
}

TEST_F(ScheduleTest, ATimedPauseEndsOnTheMinuteOrTomorrowMorning) {
  struct Case {
    TimedPause pause;
    const WorkingHours* hours;
    When now;
    const char* end;
  } cases[] = {
      {kPause30Minutes, nullptr, {2026, 12, 7, 14, 0}, "Mon 2026-12-07 14:30 +60"},
      // Up at 14:30:20: it ends at 14:31, the minute the tooltip names.
      {kPause30Minutes, nullptr, {2026, 12, 7, 14, 0, 20}, "Mon 2026-12-07 14:31 +60"},
      {kPause2Hours, nullptr, {2026, 12, 7, 23, 30}, "Tue 2026-12-08 01:30 +60"},
      {TimedPause{1440}, nullptr, {2026, 12, 7, 23, 30}, "Tue 2026-12-08 23:30 +60"},
      // An hour is an hour of real time when the clock changes.
      {kPause1Hour, nullptr, {2026, 3, 29, 1, 30}, "Sun 2026-03-29 03:30 +120"},
      {kPause1Hour, nullptr, {2026, 10, 25, 2, 30}, "Sun 2026-10-25 02:30 +60"},
      // Until tomorrow: 06:00 the next day, even a minute before midnight, in summer time too.
      {kPauseUntilTomorrow, nullptr, {2026, 12, 7, 23, 59}, "Tue 2026-12-08 06:00 +60"},
      {kPauseUntilTomorrow, nullptr, {2026, 12, 8, 0, 1}, "Wed 2026-12-09 06:00 +60"},
      {kPauseUntilTomorrow, nullptr, {2026, 3, 28, 22, 0}, "Sun 2026-03-29 06:00 +120"},
      // With working hours: when they start on the next working day.
      {kPauseUntilTomorrow, &kWeekdays, {2026, 12, 7, 14, 0}, "Tue 2026-12-08 09:00 +60"},
      {kPauseUntilTomorrow, &kWeekdays, {2026, 12, 10, 1, 0}, "Fri 2026-12-11 09:00 +60"},
      {kPauseUntilTomorrow, &kWeekdays, {2026, 12, 11, 14, 0}, "Mon 2026-12-14 09:00 +60"},
      {kPauseUntilTomorrow, &kWeekdays, {2026, 12, 13, 8, 0}, "Mon 2026-12-14 09:00 +60"},
      {kPauseUntilTomorrow, &kWeekdays, {2026, 10, 24, 12, 0}, "Mon 2026-10-26 09:00 +60"},
  };
  const WorkingHours midnight = Hours({{1, 0, H(12)}}), none = Hours({});
  for (const Case& c : cases) {
    const int64_t now = At(c.now);
    EXPECT_EQ(Local(PauseEnd(c.pause, c.hours, cal, now)), c.end) << Local(now);
  }
  // A working day that starts at midnight starts the pause's end there; a week without working
  // days falls back to the morning.
  EXPECT_EQ(Local(PauseEnd(kPauseUntilTomorrow, &midnight, cal, At({2026, 12, 7, 20, 0}))),
            "Tue 2026-12-08 00:00 +60");
  EXPECT_EQ(Local(PauseEnd(kPauseUntilTomorrow, &none, cal, At({2026, 12, 7, 20, 0}))),
            "Tue 2026-12-08 06:00 +60");
}

TEST_F(ScheduleTest, TheStoredEndNamesOneMomentAndAnythingElseIsNoPause) {
  const int64_t summer = At({2026, 7, 15, 14, 30});
  EXPECT_EQ(FormatPausedUntil(summer), "2026-07-15T12:30:00Z");
  const int64_t now = At({2026, 12, 7, 14, 0});
  // Read back after a restart, in the same zone or another: the same moment.
  for (int64_t end : {now + 1000, now + 30 * 60000, now + kLongestPauseMs})
    EXPECT_EQ(ReadPausedUntil(FormatPausedUntil(end), now), end) << FormatPausedUntil(end);
  EXPECT_EQ(ReadPausedUntil(" " + FormatPausedUntil(now + 60000) + " ", now), now + 60000);
  const std::string stale[] = {
      "",
      " ",  // how the store keeps an empty value
      FormatPausedUntil(now),
      FormatPausedUntil(now - 60000),
      FormatPausedUntil(now + kLongestPauseMs + 1000),  // a clock set back a long way
      "garbage",                    // what is no ISO time at all: tests/iso_time_test.cpp
      "2026-12-07T14:30:00+01:00",  // the history's form, though a moment to come
  };
  for (const std::string& text : stale)
    EXPECT_EQ(ReadPausedUntil(text, now), std::nullopt) << text.substr(0, 40);
}

TEST_F(ScheduleTest, TooltipsNameTheDayAndUseTheUsersTimeFormat) {
  constexpr const char* kTip = "KORVANTE Unwindle \n";
  const int64_t monday = At({2026, 12, 7, 14, 0});
  struct Case {
    When now, at;
    bool twelveHour;
    const char* paused;   // "Paused until <this>."
    const char* outside;  // "Outside working hours; reminders start at <this>."
  } cases[] = {
      {{2026, 12, 7, 14, 0}, {2026, 12, 7, 14, 30}, false, "14:30", "14:30"},
      {{2026, 12, 7, 14, 0}, {2026, 12, 7, 14, 30}, true, "2:30 PM", "2:30 PM"},
      {{2026, 12, 7, 23, 0}, {2026, 12, 8, 6, 0}, false, "tomorrow 06:00", "06:00 tomorrow"},
      // An hour past 23:30 is tomorrow already; the night the clock moves forward too.
      {{2026, 3, 28, 23, 30}, {2026, 3, 29, 0, 30}, false, "tomorrow 00:30", "00:30 tomorrow"},
      {{2026, 12, 11, 17, 0}, {2026, 12, 14, 9, 0}, false, "Monday 09:00", "09:00 on Monday"},
      {{2026, 12, 11, 17, 0}, {2026, 12, 14, 9, 0}, true, "Monday 9:00 AM", "9:00 AM on Monday"},
  };
  for (const Case& c : cases) {
    cal.twelveHour = c.twelveHour;
    const int64_t now = At(c.now), at = At(c.at);
    EXPECT_EQ(PausedTip(Texts(), cal, now, at),
              std::string(kTip) + "Paused until " + c.paused + ".")
        << Local(now);
    EXPECT_EQ(OutsideHoursTip(Texts(), cal, now, at),
              std::string(kTip) + "Outside working hours; reminders start at " + c.outside + ".")
        << Local(now);
  }
  EXPECT_EQ(OutsideHoursTip(Texts(), cal, monday, std::nullopt),
            "KORVANTE Unwindle \nOutside working hours; no working days are set.");
}

TEST_F(ScheduleTest, TheStatusLineIsForScriptsWhateverTheUsersTimeFormat) {
  cal.twelveHour = true;
  const int64_t friday = At({2026, 12, 11, 17, 0});
  const Upcoming today = UpcomingOf(cal, friday, At({2026, 12, 11, 17, 30}));
  const Upcoming tomorrow = UpcomingOf(cal, friday, At({2026, 12, 12, 6, 0}));
  const Upcoming monday = UpcomingOf(cal, friday, At({2026, 12, 14, 9, 0}));
  struct Case {
    StatusFacts facts;
    const char* line;
  } cases[] = {
      {{StatusKind::kStopped, 3600, {}}, "stopped 01:00:00"},
      {{StatusKind::kCounting, 42 * 60 + 17, {}}, "counting 00:42:17"},
      {{StatusKind::kCounting, 99 * 3600 + 59 * 60 + 59, {}}, "counting 99:59:59"},
      {{StatusKind::kPaused, 42 * 60 + 17, {}}, "paused 00:42:17"},
      {{StatusKind::kPausedUntil, 0, today}, "paused until 17:30"},
      {{StatusKind::kPausedUntil, 0, tomorrow}, "paused until tomorrow 06:00"},
      {{StatusKind::kPausedUntil, 0, monday}, "paused until Monday 09:00"},
      {{StatusKind::kAlert, 0, {}}, "alert"},
      {{StatusKind::kBreak, 4 * 60 + 12, {}}, "break 00:04:12"},
      {{StatusKind::kBreakOver, 0, {}}, "break over"},
      {{StatusKind::kOutsideHours, 0, monday}, "outside working hours until Monday 09:00"},
      {{StatusKind::kOutsideHours, 0, today}, "outside working hours until 17:30"},
      {{StatusKind::kOutsideHours, 0, {}}, "outside working hours"},
      {{StatusKind::kShortBreak, 15, {}}, "short break 0:15"},
      {{StatusKind::kShortBreak, 0, {}}, "short break 0:00"},
      {{StatusKind::kShortBreak, 10 * 60, {}}, "short break 10:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatusLine(c.facts), c.line);
}

}  // namespace
}  // namespace unw
