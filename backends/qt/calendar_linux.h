// The calendar on Linux: the time zone's rules from the C library (TZ, /etc/localtime), the user's
// time and date formats from the locale of LC_TIME (QLocale's system locale).
#pragma once

#include <string>

#include "platform/calendar.h"

namespace unw {

class LinuxCalendar : public Calendar {
 public:
  int64_t UtcMs() override;
  LocalTime ToLocal(int64_t utcMs) override;
  int64_t FromLocal(const LocalTime& local) override;
  std::string ShortTime(int hour, int minute) override;
  std::string ShortDayMonth(int month, int day) override;
};

// A short date's pattern (QLocale's letters: "dd.MM.yy", "M/d/yy", "yyyy/MM/dd") without its
// year and the separator that joined it to the rest ("dd.MM", "M/d", "MM/dd").
std::string DayMonthPattern(const std::string& shortDate);

}  // namespace unw
