// The one line the command line's /status prints: where the cycle stands and its time, for
// scripts and status bars. The clock is always the 24-hour HH:MM, whatever the user's format, so
// that a script can read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cycle/schedule.h"

namespace unw {

enum class StatusKind {
  kStopped,       // "stopped 01:00:00": the interval a start would count
  kCounting,      // "counting 00:42:17"
  kPaused,        // "paused 00:42:17": paused with no end; the time left
  kPausedUntil,   // "paused until 14:30"
  kAlert,         // "alert": the time is up and the program waits for the user
  kBreak,         // "break 00:04:12": the break's time left
  kBreakOver,     // "break over": the break-over prompt waits for an answer
  kOutsideHours,  // "outside working hours until 09:00"
  kShortBreak,    // "short break 0:15": a short break's time left, as m:ss
};

struct StatusFacts {
  StatusKind kind = StatusKind::kStopped;
  int32_t seconds = 0;            // the time shown, where the kind has one
  std::optional<Upcoming> until;  // the end of a pause, the start of working hours
};

std::string StatusLine(const StatusFacts& facts);

}  // namespace unw
