#include "cycle/schedule.h"

#include "platform/iso_time.h"

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
  return FormatIsoUtc(utcMs);
}

std::optional<int64_t> ReadPausedUntil(const std::string& text, int64_t nowUtc) {
  // The store keeps an empty value as a blank.
  const size_t first = text.find_first_not_of(' '), last = text.find_last_not_of(' ');
  const std::string s = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  const std::optional<IsoTime> t = ParseIsoTime(s);
  if (!t || !t->utc) return std::nullopt;
  if (t->utcMs <= nowUtc || t->utcMs - nowUtc > kLongestPauseMs) return std::nullopt;
  return t->utcMs;
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

namespace {

// The tooltips that name a day, one whole sentence for each weekday (0 Monday ... 6 Sunday): some
// languages say a day differently after "until" and "on".
constexpr const char* kPausedUntilDay[7] = {
    NT("KORVANTE Unwindle \nPaused until Monday {time}."),
    NT("KORVANTE Unwindle \nPaused until Tuesday {time}."),
    NT("KORVANTE Unwindle \nPaused until Wednesday {time}."),
    NT("KORVANTE Unwindle \nPaused until Thursday {time}."),
    NT("KORVANTE Unwindle \nPaused until Friday {time}."),
    NT("KORVANTE Unwindle \nPaused until Saturday {time}."),
    NT("KORVANTE Unwindle \nPaused until Sunday {time}."),
};
constexpr const char* kRemindersStartOn[7] = {
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Monday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Tuesday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Wednesday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Thursday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Friday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Saturday."),
    NT("KORVANTE Unwindle \nOutside working hours; reminders start at {time} on Sunday."),
};

const char* OfWeekday(const char* const (&table)[7], int weekday) {
  return table[weekday >= 0 && weekday < 7 ? weekday : 0];
}

}  // namespace

std::string PausedTip(const Texts& texts, Calendar& cal, int64_t nowUtc, int64_t endUtc) {
  const Upcoming at = UpcomingOf(cal, nowUtc, endUtc);
  const std::string clock = cal.ShortTime(at.hour, at.minute);
  const Fills time = {{"time", clock}};
  if (at.daysAhead <= 0) return texts.T("KORVANTE Unwindle \nPaused until {time}.", time);
  if (at.daysAhead == 1) return texts.T("KORVANTE Unwindle \nPaused until tomorrow {time}.", time);
  return texts.T(OfWeekday(kPausedUntilDay, at.weekday), time);
}

std::string OutsideHoursTip(const Texts& texts, Calendar& cal, int64_t nowUtc,
                            std::optional<int64_t> start) {
  if (!start) return texts.T("KORVANTE Unwindle \nOutside working hours; no working days are set.");
  const Upcoming at = UpcomingOf(cal, nowUtc, *start);
  const std::string clock = cal.ShortTime(at.hour, at.minute);
  const Fills time = {{"time", clock}};
  if (at.daysAhead <= 0)
    return texts.T("KORVANTE Unwindle \nOutside working hours; reminders start at {time}.", time);
  if (at.daysAhead == 1)
    return texts.T("KORVANTE Unwindle \nOutside working hours; reminders start at {time} tomorrow.",
                   time);
  return texts.T(OfWeekday(kRemindersStartOn, at.weekday), time);
}

}  // namespace unw
