// The break cycle: the one owner of where the work timer, the time-up alert
// and the break stand. Every change goes through its transitions; the main
// window, its timers and the tray show what it decides.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cycle/countdown.h"
#include "cycle/cycle_state.h"

namespace unw {

class App;
class FrmUnwindle;
class FrmBreakTimeRemaining;
class FrmRestartTimer;

class BreakCycle {
 public:
  explicit BreakCycle(App& app);
  ~BreakCycle();
  BreakCycle(const BreakCycle&) = delete;
  BreakCycle& operator=(const BreakCycle&) = delete;

  CycleState state() const { return state_; }
  // The work countdown: what the main window shows, whatever the state.
  const Countdown& work() const { return work_; }
  // Reminders given since the work timer last stopped.
  int16_t intSnoozeCount() const { return snoozeCount_; }
  // Seconds since the work countdown ran out (counted while a tray alert waits).
  int32_t lngAlertSeconds() const { return alertSeconds_; }
  // The break length as the alert took it, the bound of lngAlertSeconds.
  int32_t lngBreakSeconds() const { return breakSeconds_; }

  FrmUnwindle& frmUnwindle() { return *frmUnwindle_; }
  FrmBreakTimeRemaining& frmBreakTimeRemaining() { return *frmBreakTimeRemaining_; }
  FrmRestartTimer& frmRestartTimer() { return *frmRestartTimer_; }

  // At start-up: stopped on the saved interval, no reminder counted.
  void Begin();
  // The work timer's buttons and their tray menu twins.
  void Start();
  void Pause();
  void Stop();
  // Break now, from any state but a break.
  void BreakNow();
  // One second of the work countdown (tmrMain).
  void Tick();
  // Reloads Hours, Minutes and Seconds from the store, repairing them.
  void LoadWorkInterval();
  // The working interval changed in memory (the one-time change): a stopped timer shows it.
  void IntervalChanged();
  // The preferences were saved: the tray shows the new icon set, a stopped timer the new interval.
  void PreferencesSaved();
  // While the exit question is open the countdown and any due alert wait.
  void HoldForExitQuestion(bool on);

  // The time-up alert: the break prompt at once, or a tray alert.
  void AlertUser();
  // Carries out a prompt's answer.
  void HandleCustomMessage(PromptAnswer answer);
  // Tray alert timers of the main window.
  void tmrPlaySound_Timer();
  void tmrFlash_Timer();
  void tmrBalloonTip_Timer();
  // A tray alert that waits (the icon flashes) is answered by a click on the icon.
  bool AlertPending() const { return state_ == CycleState::kFlashing; }
  void AcknowledgeTrayAlert();
  // The balloon was clicked or went away: the alert now waits for a click, flashing.
  void EndBalloonAlert();
  // Ends a break before its time (the tray menu's "Stop Break").
  void StopBreak();

  // The user was away for a break's length (asleep, locked, idle): that was the break. A counting
  // work countdown, or one whose alert is on, starts again from the full interval.
  void NaturalBreak();
  // Nothing holds a waiting alert any more: it comes now.
  void ReleaseHeldAlert();
  // The tray says the user is away, or (back) what it says while counting.
  void ShowAway();
  void ShowBack();
  // The main window's timers as the state (and what is held) asks for them.
  void Sync() { SyncTimers(); }

  // The program ends: answers of windows closed on the way out are not carried out.
  void End() { ended_ = true; }

  // With true: closes the about box and the preferences dialog and hides the main window,
  // remembering whether to bring it back. With false: brings it back if so.
  void HideWindowsForAlert(bool hide);

 private:
  void SetState(CycleState s);
  // Ends an alert that is still on: balloon, flashing, repeats.
  void EndAlert();
  // The alert waits, for `reason` ("fullscreen" or "away").
  void Hold(const char* reason);
  // The break prompt, then its answer. A prompt that came by itself (`byUser` false) does not
  // take the keyboard from the program the user is typing into.
  void Prompt(bool byUser);
  void TakeBreak();
  // The timers of the main window as the state asks for them.
  void SyncTimers();
  // Normal state, foreground and shown: after a stop.
  void BringBack();
  int32_t WorkInterval() const;
  std::string WorkStatus(const char* suffix) const;

  App& app_;
  CycleState state_ = CycleState::kStopped;
  Countdown work_;
  int16_t snoozeCount_ = 0;
  int32_t alertSeconds_ = 0;
  int32_t snoozeSeconds_ = 0;  // the reminder length as the alert took it
  int32_t breakSeconds_ = 0;
  int32_t soundTicks_ = 0;  // seconds since the tray alert last came
  bool exitHold_ = false;
  bool ended_ = false;
  // Whether the main window comes back after the alert: it was on the screen, in its normal
  // state, when the alert hid it.
  bool mainWasShown_ = false;
  std::unique_ptr<FrmUnwindle> frmUnwindle_;
  std::unique_ptr<FrmBreakTimeRemaining> frmBreakTimeRemaining_;
  std::unique_ptr<FrmRestartTimer> frmRestartTimer_;
};

// The tray tooltip of the work countdown: the maker, the time and the state.
std::string WorkStatusText(const std::string& time, const char* suffix);
// The tray tooltip during a break.
std::string BreakStatusText(const std::string& time);

// The tray tooltips while the user is away, and while a due alert waits for a full-screen program.
extern const char* const kAwayTip;
extern const char* const kHeldTip;

inline constexpr const char* kStarted = " - Started";
inline constexpr const char* kPaused = " - Paused";
inline constexpr const char* kStopped = " - Stopped";

}  // namespace unw
