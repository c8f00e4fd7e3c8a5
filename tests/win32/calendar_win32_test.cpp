// The system's calendar under Wine: local time and back agree with the system's own conversion,
// the short time format gives the hour and minute, the short date's day and month no year, and
// the short date pictures of many countries lose their year.
#include <windows.h>

#include <gtest/gtest.h>

#include "backends/win32/calendar_win32.h"

namespace unw {
namespace {

TEST(Win32Calendar, LocalTimeRoundTripsAndMatchesTheSystem) {
  Win32Calendar cal;
  const int64_t now = cal.UtcMs();
  SYSTEMTIME st = {};
  GetSystemTime(&st);
  EXPECT_NEAR(static_cast<double>(now / 1000),
              static_cast<double>((DaysFromCivil(st.wYear, st.wMonth, st.wDay) * 86400 +
                                   st.wHour * 3600 + st.wMinute * 60 + st.wSecond)),
              2.0);
  for (int64_t at : {now, now + 182LL * 86400000, int64_t{1796634000000}}) {
    const LocalTime t = cal.ToLocal(at);
    EXPECT_EQ(cal.FromLocal(t), at / 1000 * 1000) << at;
    EXPECT_EQ(t.weekday, WeekdayOfDays(DaysFromCivil(t.year, t.month, t.day)));
  }
  const std::string text = cal.ShortTime(14, 5);
  EXPECT_NE(text.find("05"), std::string::npos) << text;
  // The day and the month in the user's order, without the year.
  for (const auto& [month, day] : {std::pair{11, 24}, std::pair{2, 29}, std::pair{12, 31}}) {
    const std::string date = cal.ShortDayMonth(month, day);
    EXPECT_NE(date.find(std::to_string(day)), std::string::npos) << date;
    EXPECT_NE(date.find(std::to_string(month)), std::string::npos) << date;
    EXPECT_EQ(date.find("2000"), std::string::npos) << date;
    EXPECT_LE(date.size(), 8u) << date;
  }
}

// The user's short date without its year, as the system's pictures of many countries write it.
TEST(Win32Calendar, AShortDatePictureLosesItsYearAndTheSeparatorThatJoinedIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"M/d/yyyy", "M/d"},
      {"dd/MM/yyyy", "dd/MM"},
      {"dd.MM.yyyy", "dd.MM"},
      {"yyyy-MM-dd", "MM-dd"},
      {"yyyy/M/d", "M/d"},
      {"d.M.yy", "d.M"},
      {"yyyy. MM. dd.", "MM. dd."},
      {"dd-MMM-yy", "dd-MMM"},
      {"d/MM/yyyy g", "d/MM"},
      {"ddd d MMM yyyy", "d MMM"},
      {"dd 'de' MMMM", "dd 'de' MMMM"},
      {"'y' yyyy", ""},
      {"", ""},
  };
  for (const auto& [picture, dayMonth] : cases)
    EXPECT_EQ(DayMonthPicture(picture), dayMonth) << picture;
}

}  // namespace
}  // namespace unw
