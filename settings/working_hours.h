// Working hours: for each day of the week whether the user works then and from when to when, in
// local clock time. Kept as one text value, one item a day, Monday first; an empty day is a day
// off:
//   Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;Sun=
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "i18n/texts.h"

namespace unw {

inline constexpr int kMinutesPerDay = 24 * 60;

struct DayHours {
  bool working = false;
  // Minutes after local midnight; a working day has from < to, and may run to 24:00 (1440).
  int from = 0, to = 0;
  bool operator==(const DayHours&) const = default;
};

struct WorkingHours {
  std::array<DayHours, 7> days{};  // 0 Monday ... 6 Sunday, as LocalTime::weekday
  bool operator==(const WorkingHours&) const = default;
  // Whether any day of the week is a working day.
  bool AnyDay() const;
};

inline constexpr const char* kDefaultWorkingHoursText =
    "Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;Sun=";

// "Monday" ... "Sunday" in English (marked for translation), and "Mon" ... "Sun" as the stored
// text names them.
const char* DayName(int weekday);
const char* DayAbbreviation(int weekday);

// "HH:MM" of minutes after midnight (1440 gives "24:00").
std::string ClockText(int minutes);
// "9:00", "09:00", " 17:30 " as minutes after midnight: 00:00 to 23:59, and 24:00 when `end`.
std::optional<int> ReadClock(std::string_view text, bool end);

// The stored text of `hours`, every day in its place, times as HH:MM.
std::string FormatWorkingHours(const WorkingHours& hours);

struct WorkingHoursRead {
  WorkingHours hours;
  // Something could not be used: a day missing, unreadable or given twice (those days have their
  // defaults, the others are as stored), or an item that names no day. The text to store back is
  // FormatWorkingHours(hours).
  bool repaired = false;
};
// Reads the stored text day by day; never fails.
WorkingHoursRead ReadWorkingHours(std::string_view text);

// What the working-hours dialog holds for one day: its check box and its two time boxes.
struct DayEntry {
  bool working = false;
  std::string from, to;
};

struct WorkingHoursCheck {
  std::optional<WorkingHours> hours;  // when every entry can be used
  std::string message;                // otherwise, what is wrong, naming the day
  int day = -1;                       // and where: the day (-1: no day in particular)
  bool atEnd = false;                 // and its "to" box rather than its "from" box
};
// Checks the dialog's entries before they are saved. A day off keeps no times, so its boxes are
// not read. With working hours `enabled`, at least one day must be a working day. The message is
// in the language of `texts`.
WorkingHoursCheck CheckWorkingHours(const Texts& texts, const std::array<DayEntry, 7>& entries,
                                    bool enabled);

}  // namespace unw
