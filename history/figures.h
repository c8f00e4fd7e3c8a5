// The figures of the history, per local calendar day, derived from the events alone: what the
// Statistics window shows, its chart, and the CSV of an export and of the command line.
#pragma once

#include <cstdint>
#include <map>
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
// FiguresByDay an event at a time, for a history too long to hold in memory: the events go in
// in order, and the figures come out at any moment, as often as asked.
class FiguresTally {
 public:
  void Add(const Event& e);
  // An event before the days that will be asked for: it only tells whether the countdown counts
  // after it, and from when.
  void Carry(const Event& e);
  // FiguresByDay(every event added, now).
  std::vector<DayFigures> Days(std::optional<Stamp> now = std::nullopt) const;
  // How many events were added.
  size_t events() const { return events_; }

  // A time the work countdown counted, and the stretch of work it belongs to (stretches are
  // numbered in time order; a rest begins the next).
  struct Span {
    Stamp from, to;
    int64_t stretch;
  };

 private:
  struct DayWork {
    DayFigures figures;
    int64_t stretch = -1;  // the stretch the day's latest work belongs to
    int64_t run = 0;       // how much of it fell on this day
  };
  // Spans a natural break may still cut; beyond that, the oldest are settled into the days.
  static constexpr size_t kOpenSpans = size_t{1} << 16;

  DayFigures& On(int64_t day);
  // The time counted from the last event up to `at`, if the countdown counted.
  void CountUpTo(std::vector<Span>& spans, const Stamp& at) const;
  static void Settle(std::map<int64_t, DayWork>& days, const Span& s);

  std::map<int64_t, DayWork> days_;
  std::vector<Span> spans_;
  bool counting_ = false;
  std::optional<Stamp> previous_;
  int64_t stretch_ = 0;
  size_t events_ = 0;
};

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
