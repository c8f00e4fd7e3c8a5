// The figures of the history, per local calendar day, derived from the events alone: what the
// Statistics window shows, its chart, and the CSV of an export and of the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "history/event.h"

namespace unw {

struct DayFigures {
  int64_t day = 0;       // the local date, as days since 1970-01-01
  int64_t workedMs = 0;  // the work countdown counted, less time away that counted as a break
  int breaksTaken = 0;   // breaks begun, those cut short too
  int breaksCutShort = 0;
  int breaksSkipped = 0;  // Restart Timer or Stop Timer at the break prompt
  int remindersSnoozed = 0;
  int naturalBreaks = 0;         // time away that counted as a break
  int64_t longestStretchMs = 0;  // the most worked between two rests, within the day
  int shortBreaksTaken = 0;      // short breaks that ran out, or that the user was away for
  int shortBreaksSkipped = 0;    // short breaks skipped (Later puts one off: neither)
  bool operator==(const DayFigures&) const = default;
};

// Every day that has anything, in date order. A count falls on the day of its own event; time
// worked falls on the days it passed, split at local midnight. With `now`, a countdown that
// still counts after the last event counts up to it (as long as the marks promise it ran).
std::vector<DayFigures> FiguresByDay(std::span<const Event> events,
                                     std::optional<Stamp> now = std::nullopt);
// The `count` days up to and including `lastDay`, oldest first; a day without figures is zeros.
std::vector<DayFigures> LastDays(std::span<const DayFigures> byDay, int64_t lastDay, int count);
// "2026-12-07".
std::string DateText(int64_t day);
// CSV with a header line: date, minutes worked, breaks taken, breaks cut short, breaks skipped,
// reminders snoozed, natural breaks, longest stretch in minutes (minutes rounded), short breaks
// taken, short breaks skipped. Columns only ever join at the end, so that a script that reads the
// first ones reads every version's.
std::string FiguresCsv(std::span<const DayFigures> days);

}  // namespace unw
