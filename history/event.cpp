#include "history/event.h"

#include <span>

#include "platform/calendar.h"
#include "platform/decimal.h"
#include "platform/iso_time.h"

namespace unw {

namespace {

// Each kind's name, the words of its detail in the order of the detail's enum (none when it has
// no detail), and whether a number of seconds follows; in the order of EventKind.
struct KindText {
  std::string_view name;  // a literal: its data() ends with a NUL
  std::span<const char* const> words;
  bool seconds;
};

constexpr const char* kAlertWays[] = {"prompt", "tray", "none"};
constexpr const char* kHoldWhys[] = {"fullscreen", "away", "exit", "preferences",
                                     "other",      "call", "dnd",  "program"};
constexpr const char* kSkipAnswers[] = {"restart", "stop"};
constexpr const char* kBreakSources[] = {"prompt", "tray", "main", "command"};
constexpr const char* kBreakEnds[] = {"ranout", "cut"};
constexpr const char* kAwayKinds[] = {"sleep", "lock", "switched", "idle"};
constexpr const char* kShortEnds[] = {"ranout", "skipped", "later", "away", "cut"};
constexpr const char* kScreenEnds[] = {"ranout", "postponed", "skipped", "cut"};

constexpr KindText kKinds[] = {
    {"program.start", {}, false},
    {"program.end", {}, false},
    {"work.start", {}, false},
    {"work.resume", {}, false},
    {"work.pause", {}, true},
    {"work.stop", {}, false},
    {"work.counting", {}, false},
    {"alert.shown", kAlertWays, false},
    {"alert.held", kHoldWhys, false},
    {"alert.snooze", {}, false},
    {"alert.skip", kSkipAnswers, false},
    {"break.start", kBreakSources, false},
    {"break.end", kBreakEnds, true},
    {"break.natural", kAwayKinds, true},
    // Names of lower-case letters and dots only: a version that does not know them keeps their
    // lines as a newer version's (IsForeignEvent) and leaves its figures as they were.
    {"shortbreak.start", {}, true},
    {"shortbreak.end", kShortEnds, true},
    {"breakscreen.end", kScreenEnds, true},
};
constexpr size_t kKindCount = std::size(kKinds);
static_assert(kKindCount == static_cast<size_t>(EventKind::kScreenBreakEnded) + 1);

Event Make(EventKind kind, uint8_t detail = 0, int32_t seconds = 0) {
  Event e;
  e.kind = kind;
  e.detail = detail;
  e.seconds = seconds < 0 ? 0 : seconds;
  return e;
}

// The next tab-separated field of `rest`, which moves past it.
std::string_view NextField(std::string_view& rest) {
  const size_t tab = rest.find('\t');
  const std::string_view field = rest.substr(0, tab);
  rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
  return field;
}

// A count of seconds: up to nine digits, nothing else.
std::optional<int32_t> ParseSeconds(std::string_view field) {
  if (field.size() > 9) return std::nullopt;
  const std::optional<int64_t> value = ReadDigits(field);
  if (!value) return std::nullopt;
  return static_cast<int32_t>(*value);
}

}  // namespace

int64_t LocalDay(const Stamp& at) {
  const int64_t local = at.utcMs + at.offsetMinutes * 60000LL;
  return local >= 0 ? local / kDayMs : (local - kDayMs + 1) / kDayMs;
}

Event ProgramStarted() {
  return Make(EventKind::kProgramStarted);
}
Event ProgramEnded() {
  return Make(EventKind::kProgramEnded);
}
Event WorkStarted() {
  return Make(EventKind::kWorkStarted);
}
Event WorkResumed() {
  return Make(EventKind::kWorkResumed);
}
Event WorkPaused(int32_t plannedSeconds) {
  return Make(EventKind::kWorkPaused, 0, plannedSeconds);
}
Event WorkStopped() {
  return Make(EventKind::kWorkStopped);
}
Event StillCounting() {
  return Make(EventKind::kStillCounting);
}
Event AlertShown(AlertedBy way) {
  return Make(EventKind::kAlertShown, static_cast<uint8_t>(way));
}
Event AlertHeld(HoldWhy why) {
  return Make(EventKind::kAlertHeld, static_cast<uint8_t>(why));
}
Event Snoozed() {
  return Make(EventKind::kSnoozed);
}
Event BreakSkipped(SkipAnswer answer) {
  return Make(EventKind::kBreakSkipped, static_cast<uint8_t>(answer));
}
Event BreakStarted(BreakFrom source) {
  return Make(EventKind::kBreakStarted, static_cast<uint8_t>(source));
}
Event BreakEnded(BreakEnd how, int32_t lastedSeconds) {
  return Make(EventKind::kBreakEnded, static_cast<uint8_t>(how), lastedSeconds);
}
Event NaturalBreak(AwayWhy why, int32_t awaySeconds) {
  return Make(EventKind::kNaturalBreak, static_cast<uint8_t>(why), awaySeconds);
}
Event ShortBreakStarted(int32_t lengthSeconds) {
  return Make(EventKind::kShortBreakStarted, 0, lengthSeconds);
}
Event ShortBreakEnded(ShortEnd how, int32_t lastedSeconds) {
  return Make(EventKind::kShortBreakEnded, static_cast<uint8_t>(how), lastedSeconds);
}

Event ScreenBreakEnded(ScreenEnd how, int32_t shownSeconds) {
  return Make(EventKind::kScreenBreakEnded, static_cast<uint8_t>(how), shownSeconds);
}

bool CountingAfter(const Event& e, bool countingBefore) {
  switch (e.kind) {
    case EventKind::kWorkStarted:
    case EventKind::kWorkResumed:
    case EventKind::kSnoozed:
    // The cycle starts the full interval again after time away that counted as a break.
    case EventKind::kNaturalBreak:
      return true;
    case EventKind::kBreakSkipped:
      return e.as<SkipAnswer>() == SkipAnswer::kRestart;
    case EventKind::kStillCounting:
    case EventKind::kBreakEnded:  // the break-over prompt waits: nothing counts
    // The work countdown counts on through a short break; whatever stops it is told by itself.
    case EventKind::kShortBreakStarted:
    case EventKind::kShortBreakEnded:
    case EventKind::kScreenBreakEnded:  // the break's own lines say what counts
      return countingBefore;
    case EventKind::kProgramStarted:
    case EventKind::kProgramEnded:
    case EventKind::kWorkPaused:
    case EventKind::kWorkStopped:
    case EventKind::kAlertShown:
    case EventKind::kAlertHeld:
    case EventKind::kBreakStarted:
      return false;
  }
  return false;
}

bool IsRest(const Event& e) {
  return e.kind == EventKind::kBreakStarted || e.kind == EventKind::kNaturalBreak ||
         e.kind == EventKind::kProgramStarted || e.kind == EventKind::kProgramEnded;
}

const char* EventKindName(EventKind kind) {
  const size_t i = static_cast<size_t>(kind);
  return i < kKindCount ? kKinds[i].name.data() : "?";
}

std::string FormatEvent(const Event& e) {
  std::string line = FormatIsoTime(e.at.utcMs, e.at.offsetMinutes);
  const size_t kind = static_cast<size_t>(e.kind);
  if (kind >= kKindCount) return line + "\t?";
  const KindText& text = kKinds[kind];
  line += '\t';
  line += text.name;
  if (!text.words.empty()) {
    line += '\t';
    line += e.detail < text.words.size() ? text.words[e.detail] : "?";
  }
  if (text.seconds) {
    line += '\t';
    line += std::to_string(e.seconds);
  }
  return line;
}

std::optional<Stamp> ParseStamp(std::string_view line) {
  // 2026-12-07T10:00:00+01:00, then a tab or the end of the line.
  if (line.size() > 25 && line[25] != '\t') return std::nullopt;
  const std::optional<IsoTime> t = ParseIsoTime(line.substr(0, 25));
  if (!t || t->utc) return std::nullopt;
  return Stamp{t->utcMs, t->offsetMinutes};
}

bool IsForeignEvent(std::string_view line) {
  if (!ParseStamp(line)) return false;
  std::string_view rest = line.substr(line.size() > 25 ? 26 : 25);
  const std::string_view name = NextField(rest);
  if (name.empty()) return false;
  for (char c : name) {
    if ((c < 'a' || c > 'z') && c != '.') return false;
  }
  for (const KindText& text : kKinds) {
    if (name == text.name) return false;  // a kind of ours whose details are broken
  }
  return true;
}

std::optional<Event> ParseEvent(std::string_view line) {
  const std::optional<Stamp> at = ParseStamp(line);
  if (!at) return std::nullopt;
  std::string_view rest = line.substr(line.size() > 25 ? 26 : 25);
  const std::string_view name = NextField(rest);
  for (size_t k = 0; k < kKindCount; ++k) {
    const KindText& text = kKinds[k];
    if (name != text.name) continue;
    Event e;
    e.at = *at;
    e.kind = static_cast<EventKind>(k);
    if (!text.words.empty()) {
      const std::string_view word = NextField(rest);
      size_t w = 0;
      while (w < text.words.size() && word != text.words[w]) ++w;
      if (w == text.words.size()) return std::nullopt;
      e.detail = static_cast<uint8_t>(w);
    }
    if (text.seconds) {
      const std::optional<int32_t> seconds = ParseSeconds(NextField(rest));
      if (!seconds) return std::nullopt;
      e.seconds = *seconds;
    }
    // Fields after these are a later version's additions: the event is still this one.
    return e;
  }
  return std::nullopt;
}

}  // namespace unw
