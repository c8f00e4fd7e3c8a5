// What the history records: each change of the break cycle that a person would count, stamped
// with the UTC time and the UTC offset in force then. Every figure is derived from these events
// alone, so the journal keeps facts and never a counter.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace unw {

// A moment, and the local time's offset from UTC then: the offset decides the moment's day, so a
// time-zone or daylight-saving change never moves what was recorded before it.
struct Stamp {
  int64_t utcMs = 0;
  int offsetMinutes = 0;
  bool operator==(const Stamp&) const = default;
};

// The local calendar date of a moment, as days since 1970-01-01.
int64_t LocalDay(const Stamp& at);

enum class EventKind : uint8_t {
  kProgramStarted,  // the program started (a period left open by a crash ends before it)
  kProgramEnded,
  kWorkStarted,    // the work countdown counts its full interval: Start, or Restart at break-over
  kWorkResumed,    // a paused countdown counts on
  kWorkPaused,     // seconds: how long the pause is meant to last, 0 until resumed
  kWorkStopped,    // Stop, or anything but Restart at the break-over prompt
  kStillCounting,  // a mark while the countdown counts (see kMarkEveryMs)
  kAlertShown,     // AlertedBy: the time is up and the user is told
  kAlertHeld,      // HoldWhy: the time is up and the alert waits
  kSnoozed,        // Remind Later: the reminder interval counts
  kBreakSkipped,   // SkipAnswer: Restart Timer or Stop Timer at the break prompt
  kBreakStarted,   // BreakFrom
  kBreakEnded,     // BreakEnd; seconds: how long the break lasted
  kNaturalBreak,   // AwayWhy; seconds: how long the user was away (time that counted as a break)
  // Short breaks between the long ones. The work countdown counts on through them, so they change
  // neither the time worked nor a stretch of work: the stretch is the long break's.
  kShortBreakStarted,  // seconds: how long it is meant to last
  kShortBreakEnded,    // ShortEnd; seconds: how long it lasted
  // A break of either kind was shown on the break screen, and how it ended there; it follows the
  // break's own end line and counts for nothing more.
  kScreenBreakEnded,  // ScreenEnd; seconds: how long it was on the screen
};

// The details are the journal's own words, apart from the cycle's: a line written once must read
// the same to every later version, whatever the cycle comes to call things. New words go at the
// end of their list.
enum class AlertedBy : uint8_t { kPrompt, kTray, kNone };
// kOther: a reason this version has no word for yet.
enum class HoldWhy : uint8_t {
  kFullScreen,
  kAway,
  kExitQuestion,
  kPreferences,
  kOther,
  kCall,
  kDoNotDisturb,
  kProgram,
};
enum class SkipAnswer : uint8_t { kRestart, kStop };
enum class BreakFrom : uint8_t { kPrompt, kTray, kMain, kCommand };
enum class BreakEnd : uint8_t { kRanOut, kCutShort };
enum class AwayWhy : uint8_t { kSleep, kLock, kSwitched, kIdle };
// How a short break ended: it ran its length, was skipped or put off (Later), the user was away
// for it, or the work countdown stopped counting under it (a pause, a stop, a long break).
enum class ShortEnd : uint8_t { kRanOut, kSkipped, kLater, kAway, kCut };
// How a break on the break screen ended: it ran its length, was postponed or skipped with the
// screen's buttons, or ended otherwise (Stop Break in the tray, a pause, the program's end).
enum class ScreenEnd : uint8_t { kRanOut, kPostponed, kSkipped, kCut };

struct Event {
  Stamp at;
  EventKind kind = EventKind::kProgramStarted;
  uint8_t detail = 0;   // the kind's detail as its enum's value, 0 for a kind without one
  int32_t seconds = 0;  // for a pause, a break's end, a natural break and a short break, else 0
  bool operator==(const Event&) const = default;

  template <typename Detail>
  Detail as() const {
    return static_cast<Detail>(detail);
  }
};

// The events as the cycle's observer records them; the journal stamps the time.
Event ProgramStarted();
Event ProgramEnded();
Event WorkStarted();
Event WorkResumed();
Event WorkPaused(int32_t plannedSeconds = 0);
Event WorkStopped();
Event StillCounting();
Event AlertShown(AlertedBy way);
Event AlertHeld(HoldWhy why);
Event Snoozed();
Event BreakSkipped(SkipAnswer answer);
Event BreakStarted(BreakFrom source);
Event BreakEnded(BreakEnd how, int32_t lastedSeconds);
Event NaturalBreak(AwayWhy why, int32_t awaySeconds);
Event ShortBreakStarted(int32_t lengthSeconds);
Event ShortBreakEnded(ShortEnd how, int32_t lastedSeconds);
Event ScreenBreakEnded(ScreenEnd how, int32_t shownSeconds);

// While the work countdown counts, a line at least this often, so that a crash, a kill or a sleep
// (which stops the program's timers) costs at most this much counted time: a longer silence
// while counting means the program was not running after its last line.
inline constexpr int64_t kMarkEveryMs = 5 * 60 * 1000;
// The mark is asked for once a minute at least; a silence longer than this was no running program.
inline constexpr int64_t kLongestSilenceMs = kMarkEveryMs + 60 * 1000;

// Whether the work countdown counts after `e`, given whether it counted before.
bool CountingAfter(const Event& e, bool countingBefore);
// Whether `e` ends a stretch of work: a break, time away that counted as one, the program's start
// or end. Pausing, stopping and skipping a break do not rest anybody.
bool IsRest(const Event& e);

// One line of the journal (without its line end): the local time with its offset
// ("2026-12-07T10:00:00+01:00", whole seconds), the kind's name, its detail word, its seconds.
std::string FormatEvent(const Event& e);
// The event a line holds, or nothing when it holds none that this version knows.
std::optional<Event> ParseEvent(std::string_view line);
// The moment a line begins with, or nothing.
std::optional<Stamp> ParseStamp(std::string_view line);
// Whether a line that holds no event of this version names a kind this version does not know: a
// newer version wrote it, and it is kept as long as it is young enough.
bool IsForeignEvent(std::string_view line);
// The name a kind is written with ("break.start").
const char* EventKindName(EventKind kind);

}  // namespace unw
