// The calendar of the system: its clock, the user's time zone with its daylight-saving rules, and
// the user's short time and date formats.
#pragma once

#include "platform/calendar.h"

namespace unw {

class Win32Calendar : public Calendar {
 public:
  int64_t UtcMs() override;
  LocalTime ToLocal(int64_t utcMs) override;
  int64_t FromLocal(const LocalTime& local) override;
  std::string ShortTime(int hour, int minute) override;
  std::string ShortDayMonth(int month, int day) override;
};

// A short date picture of the system's ("dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd") without its year,
// its era and the separator that joined them to the rest ("dd/MM", "M/d", "MM-dd"); quoted text
// stays as it is. "" when no day or month is left.
std::string DayMonthPicture(const std::string& shortDate);

}  // namespace unw
