// The break cycle: the one owner of where the work timer, the time-up alert and the break stand.
// Every change goes through its transitions; it runs its own timers, tells the tray what to show
// and hands its windows a snapshot through CycleView. It knows nothing of windows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cycle/awareness.h"
#include "cycle/countdown.h"
#include "cycle/cycle_observer.h"
#include "cycle/cycle_state.h"
#include "cycle/cycle_timer.h"
#include "cycle/cycle_view.h"
#include "cycle/schedule.h"
#include "i18n/texts.h"

namespace unw {

class AlertSounds;
class Calendar;
class EventLoop;
class Presence;
class SettingsStore;
class Trace;
class TrayIcon;
struct Settings;

// What the cycle works with.
// How the work countdown stands, in its tooltip.
enum class WorkTip { kStarted, kPaused, kStopped };

struct CycleDeps {
  Settings& settings;
  SettingsStore& store;
  TrayIcon& tray;
  AlertSounds& sounds;
  Presence& presence;
  Calendar& calendar;  // the clock on the wall: timed pauses, working hours
  EventLoop& loop;     // runs the cycle's timers
  Trace& trace;
  CycleView& view;
  const Texts& texts;  // what the tray tooltips say, in the user's language
};

class BreakCycle {
 public:
  explicit BreakCycle(const CycleDeps& deps);
  BreakCycle(const BreakCycle&) = delete;
  BreakCycle& operator=(const BreakCycle&) = delete;

  CycleState state() const { return state_; }
  // The work countdown: what the main window shows, whatever the state.
  const Countdown& work() const { return work_; }
  // The break's countdown, while a break runs.
  const Countdown& breakTime() const { return breakTime_; }
  // Reminders given since the work timer last stopped.
  int16_t intSnoozeCount() const { return snoozeCount_; }
  // Seconds since the work countdown ran out (counted while a tray alert waits).
  int32_t lngAlertSeconds() const { return alertSeconds_; }
  // The break length as the alert took it, the bound of lngAlertSeconds.
  int32_t lngBreakSeconds() const { return breakSeconds_; }
  // Why the due alert waits, while it does.
  HoldReason holdReason() const { return holdReason_; }
  // When the timed pause ends (kPausedUntil), UTC.
  int64_t pauseEnd() const { return pauseEndUtc_; }
  // When the working hours next start (kResting); none when no day is a working day.
  std::optional<int64_t> NextWorkStart();
  CycleSnapshot Snapshot() const;
  Awareness& awareness() { return awareness_; }
  // From now on `observer` hears what happens (CycleEvent); it must outlive the cycle's use.
  void AddObserver(CycleObserver& observer) { observers_.push_back(&observer); }

  // At start-up: stopped on the saved interval, no reminder counted.
  void Begin();
  // Once the tray icon is there: a timed pause the program was in when it last ended goes on;
  // otherwise the timer starts if `startTimer`.
  void Launch(bool startTimer);
  // The work timer's buttons and their tray menu twins.
  void Start();
  void Pause();
  void Stop();
  // Break now, from any state but a break; asked for at `source`.
  void BreakNow(BreakSource source);
  // A pause that ends by itself (the tray menu's "Pause For", the command line). It ends an alert
  // as Pause does. When it ends by itself, a pause as long as a break was one: the work period
  // starts again from its full interval; a shorter one continues where it stood.
  void PauseFor(const TimedPause& pause);
  // Ends a timed pause at once (the countdown goes on where it stood), or resumes a paused one.
  void Resume();
  // Looks at the clock: a timed pause that is over ends, a counting timer rests outside working
  // hours and starts afresh when they begin. Once a minute at most while that matters, at the
  // moment due, and whenever the clock may have jumped (a return from sleep).
  void RecheckClock();
  // Reloads Hours, Minutes and Seconds from the store, repairing them.
  void LoadWorkInterval();
  // The working interval changed in memory (the one-time change): a stopped timer shows it.
  void IntervalChanged();
  // The preferences were saved: the tray shows the new icon set, a stopped timer the new interval.
  void PreferencesSaved();
  // A question of the program's own is open (`reason` kExitQuestion or kPreferences): a due alert
  // waits for it; the exit question holds the countdown too.
  void HoldFor(HoldReason reason, bool on);
  // The flashing icon's pace: the caret blink time, or the usual pace when the caret does not
  // blink (INFINITE) or the system gave no answer (0).
  void SetFlashInterval(uint32_t caretBlinkMs);

  // The time-up alert: the break prompt at once, or a tray alert.
  void AlertUser();
  // Carries out a prompt's answer.
  void HandleCustomMessage(PromptAnswer answer);
  // A tray alert that waits (the icon flashes) is answered by a click on the icon.
  bool AlertPending() const { return state_ == CycleState::kFlashing; }
  void AcknowledgeTrayAlert();
  // The balloon was clicked or went away: the alert now waits for a click, flashing.
  void EndBalloonAlert();
  // Ends a break before its time ("Stop Break", the break window's own ways to close); a strict
  // break on the break screen is not ended so.
  void StopBreak();
  // The break screen's buttons during the long break: Postpone ends the break as Remind Later
  // ends a prompt (a reminder counted, refused past their limit); Skip ends it as Stop Break
  // does, with the break-over question after it. A strict break refuses both.
  void PostponeBreak();
  void SkipBreak();
  // The user is back from time away (a lock, a sleep) that fell into the long break: on the break
  // screen, time away as long as what was left of the break ends it as run out.
  void BreakAwayEnded(int64_t awayMs);

  // Short breaks and the heads-up (cycle/short_breaks.cpp). A short break now (the command line):
  // false when the cycle is in the long break, its question or its alert.
  bool ShortBreakNow();
  // frmShortBreak's buttons: the short break comes again in two minutes (at most twice in a row),
  // or is skipped; the window's close box skips it too.
  void ShortBreakLater();
  void ShortBreakSkip();
  // frmHeadsUp's button: a short break comes five minutes later; the long break comes a reminder
  // length later and that counts as a reminder. Closing the window changes nothing else.
  void HeadsUpLater();
  void HeadsUpClose();
  // The short-break settings changed: turned on, the short-break clock starts now; turned off, a
  // short break or a heads-up that is up goes.
  void ShortBreaksChanged();
  // The user is back after `awayMs` (asleep, locked, switched away): as long as a short break,
  // that was one.
  void ShortAwayEnded(int64_t awayMs);

  // The user was away for a break's length (asleep, locked, idle): that was the break. A counting
  // work countdown, or one whose alert is on, starts again from the full interval.
  void NaturalBreak(AwayKind away, int64_t awayMs);
  // What holds the waiting alert may have changed: it comes now if nothing holds it, and the tray
  // says the new reason if something else does.
  void RecheckHold();
  // The tray says the user is away, or (back) what it says while counting.
  void ShowAway();
  void ShowBack();
  // The timers as the state (and what is held) asks for them.
  void Sync() { SyncTimers(); }
  // Says the tray's tooltip again as it stands, in the language now in use.
  void RetellTip();

  // The program ends: its timers stop, and answers of windows closed on the way out are not
  // carried out.
  void End();

  // The timers' handlers.
  void tmrMain_Timer();       // a second of the work countdown
  void tmrBreak_Timer();      // a second of the break
  void tmrPlaySound_Timer();  // the repeat: of a tray alert, of a prompt's sound, its away count
  void tmrFlash_Timer();
  void tmrBalloonTip_Timer();

 private:
  void SetState(CycleState s);
  void Tell(CycleEvent event);
  // The countdown's own start and stop, which the transitions above tell as what they mean.
  void StartCountdown();
  void StopCountdown();
  // The break on the break screen ended `how`, after `seconds` there.
  void ScreenBreakOver(bool shortBreak, ScreenBreakEnd how, int32_t seconds);
  void ShowState();
  // Ends an alert that is still on: balloon, flashing, repeats.
  void EndAlert();
  // An alert ends without an answer: the main window comes back if the alert took it off the
  // screen. One held since it fell due cleared nothing.
  void ReturnAfterAlert();
  // Why an alert that falls due now must wait, if anything holds it.
  HoldReason CurrentHold();
  // The alert waits, for `reason`.
  void Hold(HoldReason reason);
  // The break prompt, then its answer. A prompt that came by itself (`byUser` false) does not
  // take the keyboard from the program the user is typing into.
  void Prompt(bool byUser);
  // The prompt's modal loop, then its answer; `serial` names the prompt it was opened for.
  void AskPrompt(bool byUser, uint32_t serial);
  void TakeBreak(BreakSource source);
  // A second of the break prompt's away count; the prompt offers Restart Timer after a break's
  // length.
  void CountAway();
  // A second of an open prompt's sound repetition.
  void RepeatSound();
  void SyncTimers();
  // Time control (cycle/time_control.cpp).
  bool WorkingHoursOn() const;
  WorkingHours Hours() const;
  // Whether the working hours are on and `utcMs` lies outside them.
  bool OutsideWorkingHours(int64_t utcMs);
  // A countdown that goes on: it counts, or rests when it is outside working hours.
  void CountOnOrRest(int64_t utcMs);
  void Rest();
  void Wake();
  void EndTimedPause(const char* how);
  void StorePausedUntil(const std::string& text);
  // The tooltip of a timed pause or of the rest, as of now.
  void ShowClockTip();
  // Runs tmrClock for the next moment that matters (a minute at most), or stops it.
  void ArmClock();
  int32_t WorkInterval() const;
  std::string WorkStatus(WorkTip state) const;
  // Short breaks and the heads-up (cycle/short_breaks.cpp).
  bool ShortBreaksOn() const;
  int32_t ShortInterval() const;  // seconds of counting between short breaks
  int32_t ShortLength() const;
  // The short-break clock starts anew: after a break of either kind, at the start of a work period.
  void ShortClockAnew();
  // A new work period: the short-break clock starts anew, and Remind Later's hold on short breaks,
  // the long break coming soon and the heads-up given before it are over.
  void NewWorkPeriod();
  // Seconds of counting until the next short break; -1 when none is coming.
  int32_t NextShortBreak() const;
  void CountShortClock();
  // What happens to the cycle, as it concerns short breaks; heard before the observers hear it.
  void HearForShortBreaks(const CycleEvent& event);
  // A second of counting (or of a short break that runs while nothing counts).
  void ShortBreakTick();
  void StartShortBreak(const char* why);
  void EndShortBreak(ShortBreakEnd how);
  // Whether a short break due now would be given: not when the long break comes soon.
  bool ShortBreakFits(int32_t workLeft) const;
  void HeadsUpTick();
  void CloseHeadsUp();
  // The tooltip while the work countdown counts, with the short break's line when they are on.
  std::string CountingTip() const;

  CycleDeps d_;
  Awareness awareness_;
  CycleState state_ = CycleState::kStopped;
  Countdown work_;
  Countdown breakTime_;
  int16_t snoozeCount_ = 0;
  int32_t alertSeconds_ = 0;
  int32_t snoozeSeconds_ = 0;  // the reminder length as the alert (or the question) took it
  int32_t breakSeconds_ = 0;   // the break length as the alert (or the prompt) took it
  int32_t soundTicks_ = 0;     // seconds since the sound last came
  int32_t awaySeconds_ = 0;    // the prompt's count of seconds the user let it wait
  bool offerRestart_ = false;  // the prompt offers Restart Timer instead of Remind Later
  HoldReason holdReason_ = HoldReason::kNone;
  std::string heldProgram_;  // the program the alert waits for (kProgram)
  bool exitHold_ = false;
  bool preferencesHold_ = false;
  bool newAlert_ = false;      // the next clearing of the screen is for a new alert
  uint32_t promptSerial_ = 0;  // counts the prompts opened, so that a late opening finds its own
  bool breakOn_ = false;       // the break's window is up and counting
  bool ranOut_ = false;        // the last break ran its whole length
  // The long break shows on the break screen (strict: without a way out), and how it ended there.
  bool screen_ = false;
  bool strict_ = false;
  ScreenBreakEnd screenEnd_ = ScreenBreakEnd::kCut;
  // The short break that runs shows on the break screen, strict or not.
  bool shortScreen_ = false;
  bool shortStrict_ = false;
  bool ended_ = false;
  int64_t pauseStartUtc_ = 0;  // when the timed pause began (0: before this run of the program)
  int64_t pauseEndUtc_ = 0;
  // Short breaks: seconds counted since the last break of either kind, the count at which the next
  // one falls due (Later and the heads-up move it), Laters in a row, and the one that runs.
  int32_t shortCounted_ = 0;
  int32_t shortDue_ = 0;
  int shortLaters_ = 0;
  bool shortOn_ = false;
  Countdown shortBreak_;
  bool shortDropped_ = false;      // none more in this work period: the long break comes soon
  bool reminderInterval_ = false;  // after Remind Later: no short breaks until the next period
  bool shortIdle_ = false;         // no input for a short break's length (IdleCountsAsBreak)
  bool shortHeld_ = false;         // a due short break waits for what holds alerts
  HeadsUpKind headsUp_ = HeadsUpKind::kNone;
  bool longHeadsUpGiven_ = false;   // the heads-up before the coming long break came
  bool shortHeadsUpGiven_ = false;  // ... before the coming short break
  CycleTimer tmrMain_;
  CycleTimer tmrBreak_;
  CycleTimer tmrPlaySound_;
  CycleTimer tmrFlash_;
  CycleTimer tmrBalloonTip_;
  CycleTimer tmrAware_;
  CycleTimer tmrClock_;
  std::vector<CycleObserver*> observers_;
};

// The tray tooltip of the work countdown: the maker, the time and the state.
std::string WorkStatusText(const Texts& texts, const std::string& time, WorkTip state);
// The tray tooltip during a break.
std::string BreakStatusText(const Texts& texts, const std::string& time);
// The tray tooltip while a due alert waits for `reason` (for kProgram, until `program` ends).
std::string HoldTip(const Texts& texts, HoldReason reason, const std::string& program = {});

// The tray tooltip while the user is away (its English text; the cycle says it in the user's).
extern const char* const kAwayTip;

}  // namespace unw
