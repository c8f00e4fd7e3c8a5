#include "cycle/schedule.h"

#include <cstdio>

namespace unw {

namespace {

int64_t DaysOf(const LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day);
}

// The moment the local clock reads `minutes` after midnight on day `days` (since 1970); 24:00 is
// the next day's midnight.
int64_t MomentOf(Calendar& cal, int64_t days, int minutes) {
  LocalTime t;
  CivilFromDays(days + minutes / kMinutesPerDay, t.year, t.month, t.day);
  t.hour = minutes % kMinutesPerDay / 60;
  t.minute = minutes % 60;
  return cal.FromLocal(t);
}

struct Period {
  int64_t start = 0, end = 0;  // empty when the day is off, or a clock change skips all of it
  bool Holds(int64_t at) const { return start <= at && at < end; }
};

Period PeriodOf(const WorkingHours& hours, Calendar& cal, int64_t days) {
  const DayHours& d = hours.days[WeekdayOfDays(days)];
  if (!d.working) return {};
  return {MomentOf(cal, days, d.from), MomentOf(cal, days, d.to)};
}

// A period ends on its own day, at 24:00 at the latest: only today's can hold a moment.
std::optional<Period> PeriodHolding(const WorkingHours& hours, Calendar& cal, int64_t utcMs) {
  const Period p = PeriodOf(hours, cal, DaysOf(cal.ToLocal(utcMs)));
  return p.Holds(utcMs) ? std::optional<Period>(p) : std::nullopt;
}

}  // namespace

bool WithinWorkingHours(const WorkingHours& hours, Calendar& cal, int64_t utcMs) {
  return PeriodHolding(hours, cal, utcMs).has_value();
}

std::optional<int64_t> NextWorkStart(const WorkingHours& hours, Calendar& cal, int64_t utcMs) {
  const int64_t today = DaysOf(cal.ToLocal(utcMs));
  // Today's start may still come; otherwise a working day comes within the week.
  for (int64_t days = today; days <= today + 7; ++days) {
    const Period p = PeriodOf(hours, cal, days);
    if (p.start < p.end && p.start > utcMs) return p.start;
  }
  return std::nullopt;
}

std::optional<int64_t> WorkEnd(const WorkingHours& hours, Calendar& cal, int64_t utcMs) {
  const auto p = PeriodHolding(hours, cal, utcMs);
  return p ? std::optional<int64_t>(p->end) : std::nullopt;
}

int64_t PauseEnd(const TimedPause& pause, const WorkingHours* hours, Calendar& cal,
                 int64_t nowUtc) {
  if (!pause.untilTomorrow) {
    const int64_t up = nowUtc + pause.minutes * 60000LL;
    return (up + 59999) / 60000 * 60000;
  }
  const int64_t tomorrow = DaysOf(cal.ToLocal(nowUtc)) + 1;
  if (hours && hours->AnyDay()) {
    // A day may start at midnight: look from the moment before.
    if (const auto start = NextWorkStart(*hours, cal, MomentOf(cal, tomorrow, 0) - 1))
      return *start;
  }
  return MomentOf(cal, tomorrow, 6 * 60);
}

std::string FormatPausedUntil(int64_t utcMs) {
  const LocalTime t = UtcTime(utcMs);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

std::optional<int64_t> ReadPausedUntil(const std::string& text, int64_t nowUtc) {
  // The store keeps an empty value as a blank.
  const size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
  const std::string s = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  static constexpr char kShape[] = "dddd-dd-ddTdd:dd:ddZ";
  if (s.size() != sizeof kShape - 1) return std::nullopt;
  for (size_t i = 0; i < s.size(); ++i) {
    const bool digit = s[i] >= '0' && s[i] <= '9';
    if (kShape[i] == 'd' ? !digit : s[i] != kShape[i]) return std::nullopt;
  }
  auto num = [&](size_t at, size_t len) { return std::stoi(s.substr(at, len)); };
  const int year = num(0, 4), month = num(5, 2), day = num(8, 2);
  const int hour = num(11, 2), minute = num(14, 2), second = num(17, 2);
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  // A day the month does not have (February 30) comes back as another date.
  const int64_t days = DaysFromCivil(year, month, day);
  int y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  if (y != year || m != month || d != day) return std::nullopt;
  const int64_t at = (days * 86400 + hour * 3600 + minute * 60 + second) * 1000;
  if (at <= nowUtc || at - nowUtc > kLongestPauseMs) return std::nullopt;
  return at;
}

Upcoming UpcomingOf(Calendar& cal, int64_t nowUtc, int64_t atUtc) {
  const LocalTime at = cal.ToLocal(atUtc);
  return {at.hour, at.minute, static_cast<int>(DaysOf(at) - DaysOf(cal.ToLocal(nowUtc))),
          at.weekday};
}

std::string DayAndClock(const Upcoming& at, const std::string& clock) {
  if (at.daysAhead <= 0) return clock;
  if (at.daysAhead == 1) return "tomorrow " + clock;
  return DayName(at.weekday) + (" " + clock);
}

std::string PausedTip(Calendar& cal, int64_t nowUtc, int64_t endUtc) {
  const Upcoming at = UpcomingOf(cal, nowUtc, endUtc);
  return kTipTitle + ("Paused until " + DayAndClock(at, cal.ShortTime(at.hour, at.minute)) + ".");
}

std::string RemindersStartText(Calendar& cal, int64_t nowUtc, int64_t startUtc) {
  const Upcoming at = UpcomingOf(cal, nowUtc, startUtc);
  const std::string text = "reminders start at " + cal.ShortTime(at.hour, at.minute);
  if (at.daysAhead <= 0) return text + ".";
  if (at.daysAhead == 1) return text + " tomorrow.";
  return text + " on " + DayName(at.weekday) + ".";
}

std::string OutsideHoursTip(Calendar& cal, int64_t nowUtc, std::optional<int64_t> start) {
  return kTipTitle + std::string("Outside working hours; ") +
         (start ? RemindersStartText(cal, nowUtc, *start) : "no working days are set.");
}

}  // namespace unw
