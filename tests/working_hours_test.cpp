// Working hours as stored and as the dialog enters them: read day by day (an unreadable day falls
// back to its default, the others are kept), written back whole, and checked with messages that
// name the day.
#include <gtest/gtest.h>

#include "settings/working_hours.h"
#include "week_hours.h"

namespace unw {
namespace {

TEST(WorkingHours, TheStoredTextIsReadDayByDay) {
  struct Case {
    const char* text;
    WorkingHours hours;
    bool repaired;
  } cases[] = {
      {"Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;Sun=",
       kWeekdays, false},
      // Read as a person would have typed it: any order, blanks, single-digit hours, any case,
      // a closing semicolon; a day may end at midnight.
      {" sun= ; SAT=;fri=9:00 - 17:00;thu=09:00-17:00;Wed=09:00-17:00;Tue=09:00-17:00;"
       "Mon=09:00-17:00;",
       kWeekdays, false},
      {"Mon=00:00-24:00;Tue=;Wed=;Thu=;Fri=;Sat=07:30-12:15;Sun=23:59-24:00",
       Hours({{0, 0, H(24)}, {5, H(7, 30), H(12, 15)}, {6, H(23, 59), H(24)}}), false},
      // One unreadable day takes its default; every other day stays as stored.
      {"Mon=;Tue=;Wed=;Thu=;Fri=;Sat=10:00-14:00;Sun=nonsense", Hours({{5, H(10), H(14)}}), true},
      {"Mon=17:00-09:00;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=", Hours({{0, H(9), H(17)}}), true},
      {"Mon=09:00-09:00;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=", Hours({{0, H(9), H(17)}}), true},
      {"Mon=;Tue=24:00-24:00;Wed=;Thu=;Fri=;Sat=;Sun=08:00-08:60", Hours({{1, H(9), H(17)}}), true},
      {"Mon=;Tue=;Wed=9-17;Thu=;Fri=;Sat=;Sun=", Hours({{2, H(9), H(17)}}), true},
      {"Mon=;Tue=;Wed=;Thu=09:00-17:00-18:00;Fri=;Sat=;Sun=", Hours({{3, H(9), H(17)}}), true},
      // A missing day, a day given twice (which one was meant?), an item that is no day.
      {"Mon=;Tue=;Wed=;Thu=;Sat=;Sun=", Hours({{4, H(9), H(17)}}), true},
      {"Mon=;Mon=10:00-11:00;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=", Hours({{0, H(9), H(17)}}), true},
      {"Mon=;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=;Holiday=10:00-11:00", Hours({}), true},
      {"Mon=;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=;Monday=10:00-11:00", Hours({}), true},
      // Nothing usable at all: the default week.
      {"", kWeekdays, true},
      {"\xff\xfe;;==;", kWeekdays, true},
  };
  for (const Case& c : cases) {
    const WorkingHoursRead read = ReadWorkingHours(c.text);
    EXPECT_EQ(read.hours, c.hours) << c.text << " read as " << FormatWorkingHours(read.hours);
    EXPECT_EQ(read.repaired, c.repaired) << c.text;
  }
}

TEST(WorkingHours, WrittenTextIsReadBackAsWritten) {
  for (const WorkingHours& h :
       {kWeekdays, Hours({}), Hours({{6, 0, H(24)}, {2, H(8, 5), H(8, 6)}})}) {
    const std::string text = FormatWorkingHours(h);
    const WorkingHoursRead read = ReadWorkingHours(text);
    EXPECT_EQ(read.hours, h) << text;
    EXPECT_FALSE(read.repaired) << text;
  }
  EXPECT_EQ(FormatWorkingHours(Hours({{0, H(8), H(12, 30)}, {6, 0, H(24)}})),
            "Mon=08:00-12:30;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=00:00-24:00");
}

TEST(WorkingHours, TheDialogRefusesWhatCannotBeWorkingHoursNamingTheDay) {
  struct Case {
    int day;
    bool working;
    const char *from, *to;
    bool atEnd;
    const char* message;  // empty: accepted
  } cases[] = {
      {0, true, "9:00", "17:30", false, ""},
      {6, true, "00:00", "24:00", false, ""},
      {3, false, "garbage", "", false, ""},  // a day off keeps no times
      {2, true, "17:00", "09:00", true,
       "Wednesday: your working hours end at 09:00, before they start at 17:00. The end must come "
       "after the start, on the same day."},
      {4, true, "22:00", "00:00", true,
       "Friday: your working hours end at 00:00, before they start at 22:00. The end must come "
       "after the start, on the same day."},
      {1, true, "9:00", "09:00", true,
       "Tuesday: your working hours start and end at 09:00. The end must come after the start."},
      {5, true, "9.00", "17:00", false,
       "Saturday: \"9.00\" is not a time. Enter the start as HH:MM, from 00:00 to 23:59."},
      {5, true, "24:00", "24:00", false,
       "Saturday: \"24:00\" is not a time. Enter the start as HH:MM, from 00:00 to 23:59."},
      {0, true, "09:00", "25:00", true,
       "Monday: \"25:00\" is not a time. Enter the end as HH:MM, from 00:01 to 24:00."},
      {0, true, " ", "17:00", false,
       "Monday: enter when your working hours start, as HH:MM (for example 09:00)."},
      {6, true, "08:00", "", true,
       "Sunday: enter when your working hours end, as HH:MM (for example 17:00)."},
  };
  for (const Case& c : cases) {
    std::array<DayEntry, 7> entries{};
    entries[c.day] = {c.working, c.from, c.to};
    entries[c.day == 0 ? 1 : 0] = {true, "10:00", "11:00"};  // another day, always fine
    const WorkingHoursCheck check = CheckWorkingHours(Texts(), entries, true);
    EXPECT_EQ(check.message, c.message) << c.from << "-" << c.to;
    EXPECT_EQ(check.hours.has_value(), !*c.message) << c.message;
    if (*c.message) {
      EXPECT_EQ(std::tuple(check.day, check.atEnd), std::tuple(c.day, c.atEnd)) << c.message;
    }
  }
  std::array<DayEntry, 7> entries{};
  entries[1] = {true, " 8:30", "12:00 "};
  EXPECT_EQ(CheckWorkingHours(Texts(), entries, false).hours, Hours({{1, H(8, 30), H(12)}}));
  // Working hours on, but no day to work: the timer would never remind.
  entries[1].working = false;
  const WorkingHoursCheck none = CheckWorkingHours(Texts(), entries, true);
  EXPECT_FALSE(none.hours);
  EXPECT_EQ(
      none.message,
      "Choose at least one working day, or turn off \"Remind me only during working hours\".");
  EXPECT_EQ(CheckWorkingHours(Texts(), entries, false).hours, Hours({}));
}

}  // namespace
}  // namespace unw
