// A calendar on the virtual clock, in a time zone the test chooses: a standard offset and, if
// asked for, daylight saving by the European rule (from 01:00 UTC on the last Sunday of March to
// 01:00 UTC on the last Sunday of October). The user may set the clock (SetUtc).
#pragma once

#include "platform/calendar.h"

namespace unw {

class FakeEventLoop;

class FakeCalendar : public Calendar {
 public:
  explicit FakeCalendar(FakeEventLoop& loop) : loop_(loop) {}
  int64_t UtcMs() override;
  LocalTime ToLocal(int64_t utcMs) override;
  int64_t FromLocal(const LocalTime& local) override;
  // "14:30" (the 24-hour clock), or "2:30 PM" with `twelveHour`.
  std::string ShortTime(int hour, int minute) override;
  // "24/11" (day first), or "11/24" with `monthFirst`.
  std::string ShortDayMonth(int month, int day) override;

  // The clock is set: it reads `utcMs` now and goes on from there.
  void SetUtc(int64_t utcMs);
  // Sets the clock so that local time now is that date and time.
  void SetLocal(int year, int month, int day, int hour, int minute, int second = 0);
  // Local time minus UTC outside daylight saving, and whether the zone keeps daylight saving.
  int standardOffsetMinutes = 0;
  bool daylightSaving = false;
  bool twelveHour = false;
  bool monthFirst = false;

 private:
  int OffsetAt(int64_t utcMs) const;

  FakeEventLoop& loop_;
  // Monday 2026-12-07 09:00 UTC at the start of the virtual clock.
  int64_t utcAtZero_ = 1796634000000;
};

}  // namespace unw
