#include "history/figures.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/calendar.h"

namespace unw {

namespace {

void AddSpan(std::vector<FiguresTally::Span>& spans, const Stamp& from, const Stamp& to,
             int64_t stretch) {
  // Marks cut a long time counted into many: one piece is enough, as long as one offset holds
  // throughout (the split at midnight reads it).
  if (!spans.empty() && spans.back().to == from && spans.back().stretch == stretch &&
      spans.back().from.offsetMinutes == to.offsetMinutes)
    spans.back().to = to;
  else
    spans.push_back({from, to, stretch});
}

// Time away that counted as a break was counted by the countdown too (it ran on while the user
// was gone); it is no work. Everything counted after `cut` goes.
void CutAway(std::vector<FiguresTally::Span>& spans, int64_t cut) {
  while (!spans.empty() && spans.back().to.utcMs > cut) {
    if (spans.back().from.utcMs >= cut) {
      spans.pop_back();
    } else {
      spans.back().to.utcMs = cut;
      break;
    }
  }
}

// Calls `part(day, ms)` for the share of [from, to) on each local day. Midnight comes by the
// offset in force at `from`; the end's day by its own offset, so a day is never moved or doubled
// by a change of offset between them.
template <typename Part>
void SplitByDay(const Stamp& from, const Stamp& to, Part&& part) {
  int64_t rest = to.utcMs - from.utcMs;
  if (rest <= 0) return;
  const int64_t first = LocalDay(from), last = LocalDay(to);
  if (last <= first) {
    part(first, rest);
    return;
  }
  const int64_t untilMidnight = (first + 1) * kDayMs - (from.utcMs + from.offsetMinutes * 60000LL);
  const int64_t head = std::min(rest, untilMidnight);
  part(first, head);
  rest -= head;
  for (int64_t day = first + 1; rest > 0; ++day) {
    const int64_t share = day == last ? rest : std::min(rest, kDayMs);
    part(day, share);
    rest -= share;
  }
}

}  // namespace

DayFigures& FiguresTally::On(int64_t day) {
  DayFigures& f = days_[day].figures;
  f.day = day;
  return f;
}

void FiguresTally::CountUpTo(std::vector<Span>& spans, const Stamp& at) const {
  if (!counting_ || !previous_) return;
  const int64_t gap = at.utcMs - previous_->utcMs;
  // No mark came: the program was not running, and nobody counted (Add begins the next stretch).
  if (gap > 0 && gap <= kLongestSilenceMs) AddSpan(spans, *previous_, at, stretch_);
}

void FiguresTally::Settle(std::map<int64_t, DayWork>& days, const Span& s) {
  SplitByDay(s.from, s.to, [&](int64_t day, int64_t ms) {
    DayWork& work = days[day];
    work.figures.day = day;
    work.figures.workedMs += ms;
    if (work.stretch != s.stretch) {
      work.stretch = s.stretch;
      work.run = 0;
    }
    work.run += ms;
    work.figures.longestStretchMs = std::max(work.figures.longestStretchMs, work.run);
  });
}

void FiguresTally::Add(const Event& e) {
  ++events_;
  // A start after a crash: the last session ended at its last line.
  if (e.kind != EventKind::kProgramStarted) {
    if (counting_ && previous_ && e.at.utcMs - previous_->utcMs > kLongestSilenceMs) ++stretch_;
    CountUpTo(spans_, e.at);
  }
  switch (e.kind) {
    case EventKind::kBreakStarted:
      ++On(LocalDay(e.at)).breaksTaken;
      break;
    case EventKind::kBreakEnded:
      if (e.as<BreakEnd>() == BreakEnd::kCutShort) ++On(LocalDay(e.at)).breaksCutShort;
      break;
    case EventKind::kBreakSkipped:
      ++On(LocalDay(e.at)).breaksSkipped;
      break;
    case EventKind::kSnoozed:
      ++On(LocalDay(e.at)).remindersSnoozed;
      break;
    case EventKind::kNaturalBreak:
      ++On(LocalDay(e.at)).naturalBreaks;
      CutAway(spans_, e.at.utcMs - e.seconds * 1000LL);
      break;
    case EventKind::kShortBreakEnded:
      switch (e.as<ShortEnd>()) {
        case ShortEnd::kRanOut:
        case ShortEnd::kAway:
          ++On(LocalDay(e.at)).shortBreaksTaken;
          break;
        case ShortEnd::kSkipped:
          ++On(LocalDay(e.at)).shortBreaksSkipped;
          break;
        case ShortEnd::kLater:  // it comes again
        case ShortEnd::kCut:    // the countdown stopped under it: neither taken nor refused
          break;
      }
      break;
    default:
      break;
  }
  if (IsRest(e)) ++stretch_;
  counting_ = CountingAfter(e, counting_);
  previous_ = e.at;
  // Only time away can take back time counted, and nobody is away across so many pieces of work:
  // the oldest half is counted in for good, so that a history of any length costs bounded memory.
  if (spans_.size() >= kOpenSpans) {
    const size_t settled = spans_.size() / 2;
    for (size_t i = 0; i < settled; ++i) Settle(days_, spans_[i]);
    spans_.erase(spans_.begin(), spans_.begin() + static_cast<ptrdiff_t>(settled));
  }
}

void FiguresTally::Carry(const Event& e) {
  if (IsRest(e)) ++stretch_;
  counting_ = CountingAfter(e, counting_);
  previous_ = e.at;
}

std::vector<DayFigures> FiguresTally::Days(std::optional<Stamp> now) const {
  std::map<int64_t, DayWork> days = days_;
  std::vector<Span> spans = spans_;
  if (now) CountUpTo(spans, *now);
  for (const Span& s : spans) Settle(days, s);
  std::vector<DayFigures> out;
  out.reserve(days.size());
  for (const auto& [day, work] : days) out.push_back(work.figures);
  return out;
}

std::vector<DayFigures> FiguresByDay(std::span<const Event> events, std::optional<Stamp> now) {
  FiguresTally tally;
  for (const Event& e : events) tally.Add(e);
  return tally.Days(now);
}

std::vector<DayFigures> LastDays(std::span<const DayFigures> byDay, int64_t lastDay, int count) {
  std::vector<DayFigures> out(count > 0 ? count : 0);
  const int64_t firstDay = lastDay - static_cast<int64_t>(out.size()) + 1;
  for (size_t i = 0; i < out.size(); ++i) out[i].day = firstDay + static_cast<int64_t>(i);
  auto it = std::lower_bound(byDay.begin(), byDay.end(), firstDay,
                             [](const DayFigures& f, int64_t day) { return f.day < day; });
  for (; it != byDay.end() && it->day <= lastDay; ++it) out[it->day - firstDay] = *it;
  return out;
}

std::string DateText(int64_t day) {
  int y = 0, m = 0, d = 0;
  CivilFromDays(day, y, m, d);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
  return text;
}

std::string FiguresCsv(std::span<const DayFigures> days) {
  // Rounded, not cut: 59 minutes and 50 seconds of work read as an hour.
  auto minutes = [](int64_t ms) { return static_cast<long long>((ms + 30000) / 60000); };
  std::string csv =
      "date,minutes worked,breaks taken,breaks cut short,breaks skipped,reminders snoozed,"
      "natural breaks,longest stretch in minutes,short breaks taken,short breaks skipped\r\n";
  for (const DayFigures& f : days) {
    char row[200];
    std::snprintf(row, sizeof row, "%s,%lld,%d,%d,%d,%d,%d,%lld,%d,%d\r\n", DateText(f.day).c_str(),
                  minutes(f.workedMs), f.breaksTaken, f.breaksCutShort, f.breaksSkipped,
                  f.remindersSnoozed, f.naturalBreaks, minutes(f.longestStretchMs),
                  f.shortBreaksTaken, f.shortBreaksSkipped);
    csv += row;
  }
  return csv;
}

}  // namespace unw
