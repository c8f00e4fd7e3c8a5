#include "cycle/status_line.h"

#include <algorithm>

#include "cycle/countdown.h"
#include "settings/number_text.h"

namespace unw {

namespace {

std::string Hms(int32_t seconds) {
  if (seconds < 0) seconds = 0;
  return TwoDigit(seconds / 3600) + ":" + TwoDigit(seconds / 60 % 60) + ":" +
         TwoDigit(seconds % 60);
}

std::string Until(const std::optional<Upcoming>& at) {
  return at ? " until " + DayAndClock(*at, TwoDigit(at->hour) + ":" + TwoDigit(at->minute)) : "";
}

}  // namespace

std::string StatusLine(const StatusFacts& f) {
  switch (f.kind) {
    case StatusKind::kStopped:
      return "stopped " + Hms(f.seconds);
    case StatusKind::kCounting:
      return "counting " + Hms(f.seconds);
    case StatusKind::kPaused:
      return "paused " + Hms(f.seconds);
    case StatusKind::kPausedUntil:
      return "paused" + Until(f.until);
    case StatusKind::kAlert:
      return "alert";
    case StatusKind::kBreak:
      return "break " + Hms(f.seconds);
    case StatusKind::kBreakOver:
      return "break over";
    case StatusKind::kOutsideHours:
      return "outside working hours" + Until(f.until);
    case StatusKind::kShortBreak:
      return "short break " + MinutesSeconds(f.seconds);
  }
  return "";
}

}  // namespace unw
