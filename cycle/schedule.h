// Clock arithmetic for what the user plans by the calendar: whether it is working time, when the
// working hours start again, when a timed pause ends, and how the program says so. Local time,
// days and daylight saving come from the Calendar; a moment is milliseconds since 1970 (UTC).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "i18n/texts.h"
#include "platform/calendar.h"
#include "settings/working_hours.h"

namespace unw {

// Whether `utcMs` lies within the working hours: on a working day, from its start up to (not
// including) its end.
bool WithinWorkingHours(const WorkingHours& hours, Calendar& cal, int64_t utcMs);
// When the working hours next start after `utcMs`; none when no day is a working day.
std::optional<int64_t> NextWorkStart(const WorkingHours& hours, Calendar& cal, int64_t utcMs);
// When the working hours that hold `utcMs` end; none outside working hours.
std::optional<int64_t> WorkEnd(const WorkingHours& hours, Calendar& cal, int64_t utcMs);

// A timed pause: so many minutes, or until tomorrow.
struct TimedPause {
  int minutes = 0;
  bool untilTomorrow = false;
};
inline constexpr TimedPause kPause30Minutes{30}, kPause1Hour{60}, kPause2Hours{120},
    kPauseUntilTomorrow{0, true};
// The longest pause the program makes: until the next working day, a week away at most.
inline constexpr int64_t kLongestPauseMs = 8 * kDayMs;

// When a pause taken at `nowUtc` ends. So many minutes end on the whole minute after they are up,
// so that the end is exactly the minute the tooltip names. Until tomorrow ends at 06:00 local time
// on the next day or, with working hours (`hours` given, with at least one working day), when they
// start on the next working day after today.
int64_t PauseEnd(const TimedPause& pause, const WorkingHours* hours, Calendar& cal, int64_t nowUtc);

// The stored form of a pause's end (the value PausedUntil): the UTC date and time,
// "2026-12-07T14:30:00Z", so that it names the same moment in any time zone, on either side of a
// change to or from daylight saving. Whole seconds.
std::string FormatPausedUntil(int64_t utcMs);
// The end a stored value names, when that is a pause still to come at `nowUtc`: none for an empty
// or unreadable value, an end that has passed, or one further away than any pause lasts (the clock
// was set back, or the value was not written by the program).
std::optional<int64_t> ReadPausedUntil(const std::string& text, int64_t nowUtc);

// A moment to come as the user reads it: the local clock time, and which day.
struct Upcoming {
  int hour = 0, minute = 0;
  int daysAhead = 0;  // 0 today, 1 tomorrow, ...
  int weekday = 0;    // 0 Monday ... 6 Sunday
};
Upcoming UpcomingOf(Calendar& cal, int64_t nowUtc, int64_t atUtc);
// `clock` with its day: "14:30" today, "tomorrow 06:00", "Monday 09:00" further on.
std::string DayAndClock(const Upcoming& at, const std::string& clock);

// What the tray tooltip says, in the language of `texts` and the user's short time format.
// "KORVANTE Unwindle \nPaused until 14:30." ("until tomorrow 06:00" when it ends another day).
std::string PausedTip(const Texts& texts, Calendar& cal, int64_t nowUtc, int64_t endUtc);
// "KORVANTE Unwindle \nOutside working hours; reminders start at 09:00 on Monday." ("at 09:00."
// today, "at 09:00 tomorrow."). With no working day at all (`start` none), says that none is set.
std::string OutsideHoursTip(const Texts& texts, Calendar& cal, int64_t nowUtc,
                            std::optional<int64_t> start);

}  // namespace unw
