// The work countdown's transitions (start, pause, stop, the tick and the interval it counts), the
// cycle's timers and what it holds alerts for.
#include "cycle/break_cycle.h"

#include "platform/calendar.h"
#include "platform/trace.h"
#include "settings/product.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/tray_icon.h"

namespace unw {

std::string WorkStatusText(const Texts& texts, const std::string& time, WorkTip state) {
  const Fills fills = {{"maker", kCompanyName}, {"url", kMakerUrl}, {"time", time}};
  switch (state) {
    case WorkTip::kStarted:
      return texts.T("{maker} - {url} \nTime Remaining: {time} - Started", fills);
    case WorkTip::kPaused:
      return texts.T("{maker} - {url} \nTime Remaining: {time} - Paused", fills);
    case WorkTip::kStopped:
      break;
  }
  return texts.T("{maker} - {url} \nTime Remaining: {time} - Stopped", fills);
}

const char* const kAwayTip = NT("KORVANTE Unwindle \nYou are away; the time counts as a break.");

namespace {

// The tray shows 127 characters of a tooltip: a long program name is cut in the middle, so that
// the tip still says what it waits for and that it waits until that ends.
std::string ShortProgramName(const std::string& name) {
  constexpr size_t kKeep = 30;  // characters at each end
  std::vector<size_t> starts;   // of each UTF-8 character
  for (size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  if (starts.size() <= 2 * kKeep + 3) return name;
  return name.substr(0, starts[kKeep]) + "..." + name.substr(starts[starts.size() - kKeep]);
}

}  // namespace

std::string HoldTip(const Texts& texts, HoldReason reason, const std::string& program) {
  switch (reason) {
    case HoldReason::kAway:
      return texts.T(kAwayTip);
    case HoldReason::kFullScreen:
      return texts.T(
          "KORVANTE Unwindle \nA break is due; it waits until the full-screen program ends.");
    case HoldReason::kCall:
      return texts.T("KORVANTE Unwindle \nA break is due; it waits until your call ends.");
    case HoldReason::kDoNotDisturb:
      return texts.T("KORVANTE Unwindle \nA break is due; it waits until Do Not Disturb is off.");
    case HoldReason::kProgram:
      return texts.T("KORVANTE Unwindle \nA break is due; it waits until {program} ends.",
                     {{"program", ShortProgramName(program)}});
    case HoldReason::kExitQuestion:
    case HoldReason::kPreferences:
      return texts.T(
          "KORVANTE Unwindle \nA break is due; it waits until you close the open window.");
    case HoldReason::kNone:
      break;
  }
  return kMainCaption;
}

std::string BreakStatusText(const Texts& texts, const std::string& time) {
  return texts.T("{maker} - {url} \nBreak Time Remaining: {time}",
                 {{"maker", kCompanyName}, {"url", kMakerUrl}, {"time", time}});
}

BreakCycle::BreakCycle(const CycleDeps& deps)
    : d_(deps),
      awareness_(deps.settings, deps.presence, deps.trace, *this),
      tmrMain_(deps.loop, "tmrMain", 1000, [this] { tmrMain_Timer(); }),
      tmrBreak_(deps.loop, "tmrBreak", 1000, [this] { tmrBreak_Timer(); }),
      tmrPlaySound_(deps.loop, "tmrPlaySound", 1000, [this] { tmrPlaySound_Timer(); }),
      tmrFlash_(deps.loop, "tmrFlash", 500, [this] { tmrFlash_Timer(); }),
      tmrBalloonTip_(deps.loop, "tmrBalloonTip", 60000, [this] { tmrBalloonTip_Timer(); }),
      tmrAware_(deps.loop, "tmrAware", 1000, [this] { awareness_.tmrAware_Timer(); }),
      tmrClock_(deps.loop, "tmrClock", 60000, [this] { RecheckClock(); }) {}

int32_t BreakCycle::WorkInterval() const {
  const Settings& s = d_.settings;
  return s.Hours * 3600 + static_cast<int16_t>(s.Minutes * 60) + s.Seconds;
}

std::string BreakCycle::WorkStatus(WorkTip state) const {
  return WorkStatusText(d_.texts, work_.Hms(), state);
}

CycleSnapshot BreakCycle::Snapshot() const {
  CycleSnapshot s;
  s.state = state_;
  s.work = work_;
  s.breakTime = breakTime_;
  s.reminders = snoozeCount_;
  s.alertSeconds = alertSeconds_;
  s.hold = state_ == CycleState::kHeld ? holdReason_ : HoldReason::kNone;
  const int16_t alertMeBy = d_.settings.AlertMeBy;
  if (alertMeBy == 0 || alertMeBy == 1) {
    // In tray mode the alert that opened the prompt is already counted.
    const auto given = static_cast<int16_t>(snoozeCount_ - (alertMeBy == 1 ? 1 : 0));
    s.promptStep = SnoozeStep(d_.settings.NumberOfSnooze, given);
  }
  s.offerRestart = offerRestart_;
  s.shortBreakOn = shortOn_;
  s.shortBreak = shortBreak_;
  s.shortLaterAllowed = shortOn_ && shortLaters_ < 2;
  s.nextShortBreak = NextShortBreak();
  s.headsUp = headsUp_;
  if (headsUp_ == HeadsUpKind::kLong) {
    s.headsUpSeconds = work_.remaining();
    s.headsUpLaterAllowed = SnoozeStep(d_.settings.NumberOfSnooze, snoozeCount_) != 2;
  } else if (headsUp_ == HeadsUpKind::kShort) {
    s.headsUpSeconds = shortDue_ - shortCounted_;
    s.headsUpLaterAllowed = true;
  }
  if (breakOn_) {
    s.onScreen = screen_;
    s.strict = strict_;
    s.postponeAllowed =
        screen_ && !strict_ && SnoozeStep(d_.settings.NumberOfSnooze, snoozeCount_) != 2;
  } else if (shortOn_) {
    s.onScreen = shortScreen_;
    s.strict = shortStrict_;
    s.postponeAllowed = shortScreen_ && !shortStrict_ && s.shortLaterAllowed;
  }
  return s;
}

void BreakCycle::ShowState() {
  if (!ended_) d_.view.Show(Snapshot());
}

void BreakCycle::SetState(CycleState s) {
  if (s != state_) {
    // A timed pause left any way is over: nothing of it is kept for the next start.
    if (state_ == CycleState::kPausedUntil) StorePausedUntil("");
    d_.trace.Line("cycle.state", {CycleStateName(s)});
    // The timers of the state left stop; those of the new one start afresh.
    for (CycleTimer* t : {&tmrMain_, &tmrBreak_, &tmrPlaySound_, &tmrFlash_, &tmrBalloonTip_})
      t->Run(false);
  }
  state_ = s;
  SyncTimers();
  ArmClock();
  ShowState();
}

void BreakCycle::SyncTimers() {
  if (ended_) return;
  // The alert's timers never run beside the work countdown; the exit question holds both.
  const bool questions = state_ == CycleState::kFlashing || state_ == CycleState::kPrompt ||
                         state_ == CycleState::kBreakOver;
  // A short break asked for while nothing counts is counted down by the same tick.
  tmrMain_.Run((state_ == CycleState::kCounting || shortOn_) && !exitHold_);
  tmrBreak_.Run(state_ == CycleState::kOnBreak && breakOn_);
  tmrPlaySound_.Run(questions && !exitHold_);
  tmrFlash_.Run(state_ == CycleState::kFlashing);
  tmrBalloonTip_.Run(state_ == CycleState::kBalloon && !exitHold_);
  tmrAware_.Run(awareness_.NeedsPolling() && !exitHold_);
}

void BreakCycle::Tell(CycleEvent event) {
  HearForShortBreaks(event);
  for (CycleObserver* o : observers_) o->OnCycleEvent(event);
}

void BreakCycle::End() {
  if (!ended_) Tell({CycleEventKind::kProgramEnded});
  ended_ = true;
  breakOn_ = false;
  for (CycleTimer* t :
       {&tmrMain_, &tmrBreak_, &tmrPlaySound_, &tmrFlash_, &tmrBalloonTip_, &tmrAware_, &tmrClock_})
    t->Run(false);
}

void BreakCycle::Begin() {
  snoozeCount_ = 0;
  alertSeconds_ = 0;
  exitHold_ = preferencesHold_ = false;
  state_ = CycleState::kStopped;
  work_.Reset(WorkInterval());
  SyncTimers();
  ShowState();
  Tell({CycleEventKind::kProgramStarted});
}

void BreakCycle::Start() {
  const bool resumes = state_ == CycleState::kPaused || state_ == CycleState::kPausedUntil;
  Tell({resumes ? CycleEventKind::kWorkResumed : CycleEventKind::kWorkStarted});
  StartCountdown();
}

void BreakCycle::StartCountdown() {
  if (IsAlert(state_)) EndAlert();
  if (state_ == CycleState::kPausedUntil) d_.trace.Line("cycle.pause.end", {"start", "continue"});
  // A paused countdown resumes; anything else counts the work interval afresh.
  if (state_ != CycleState::kPaused && state_ != CycleState::kPausedUntil)
    work_.Reset(WorkInterval());
  CountOnOrRest(d_.calendar.UtcMs());
}

void BreakCycle::Pause() {
  Tell({CycleEventKind::kWorkPaused});
  if (IsAlert(state_)) EndAlert();
  d_.tray.CountdownPaused(WorkStatus(WorkTip::kPaused));
  SetState(CycleState::kPaused);
}

void BreakCycle::Stop() {
  Tell({CycleEventKind::kWorkStopped});
  StopCountdown();
}

void BreakCycle::StopCountdown() {
  if (IsAlert(state_)) EndAlert();
  snoozeCount_ = 0;
  LoadWorkInterval();
  work_.Reset(WorkInterval());
  d_.tray.ShowFirstFrame(WorkStatus(WorkTip::kStopped));
  SetState(CycleState::kStopped);
}

void BreakCycle::tmrMain_Timer() {
  if (state_ != CycleState::kCounting) {
    ShortBreakTick();
    ShowState();
    return;
  }
  if (work_.Done()) {
    // The time is up: the countdown's timer stops before anything else happens.
    tmrMain_.Run(false);
    alertSeconds_ = 0;
    // A new alert: the main window comes back after it only if it is on the screen now.
    newAlert_ = true;
    AlertUser();
    return;
  }
  work_.Tick();
  ShortBreakTick();
  ShowState();
  Tell({CycleEventKind::kTick});
  d_.tray.CountdownTicked(awareness_.away() ? d_.texts.T(kAwayTip) : CountingTip());
}

void BreakCycle::LoadWorkInterval() {
  // A stored text that is not a number leaves that working value as it is (the next start
  // repairs it).
  for (SettingRef setting : {SettingRef(&Settings::Hours), SettingRef(&Settings::Minutes),
                             SettingRef(&Settings::Seconds)})
    d_.store.LoadSetting(Setting(setting), d_.settings, /*repairUnreadable*/ false);
}

void BreakCycle::IntervalChanged() {
  if (IsAlert(state_)) EndAlert();
  if (state_ != CycleState::kStopped) return;
  work_.Reset(WorkInterval());
  ShowState();
}

void BreakCycle::PreferencesSaved() {
  if (state_ == CycleState::kStopped) {
    // A stopped timer shows the new interval with the new set's idle picture.
    work_.Reset(WorkInterval());
    ShowState();
    d_.tray.SetChanged(TrayScene::kStopped, WorkStatus(WorkTip::kStopped));
  } else if (IsAlert(state_)) {
    d_.tray.SetChanged(TrayScene::kAlert, "");
  } else if (state_ == CycleState::kResting) {
    // Nothing counts until working hours begin: the idle picture, the tooltip as it stands.
    d_.tray.SetChanged(TrayScene::kStopped, OutsideHoursTip(d_.texts, d_.calendar,
                                                            d_.calendar.UtcMs(), NextWorkStart()));
  } else {
    // The countdown goes on, or stands; the icon changes set without moving on by a frame.
    const bool stands = state_ == CycleState::kPaused || state_ == CycleState::kPausedUntil;
    d_.tray.SetChanged(stands ? TrayScene::kPaused : TrayScene::kCounting, "");
  }
}

void BreakCycle::SetFlashInterval(uint32_t caretBlinkMs) {
  constexpr uint32_t kNoBlink = 0xFFFFFFFF;  // the caret blink rate set to None
  constexpr uint32_t kUsualBlinkMs = 500;
  const bool blinks = caretBlinkMs != 0 && caretBlinkMs != kNoBlink;
  tmrFlash_.SetInterval(blinks ? caretBlinkMs : kUsualBlinkMs);
}

void BreakCycle::HoldFor(HoldReason reason, bool on) {
  bool& hold = reason == HoldReason::kExitQuestion ? exitHold_ : preferencesHold_;
  if (hold == on) return;
  hold = on;
  d_.trace.Line("cycle.hold", {HoldReasonName(reason), on ? "1" : "0"});
  // Once the window is gone, the held alert comes with the next look (within a second).
  SyncTimers();
}

HoldReason BreakCycle::CurrentHold() {
  if (awareness_.away()) return HoldReason::kAway;
  if (exitHold_) return HoldReason::kExitQuestion;
  if (preferencesHold_) return HoldReason::kPreferences;
  return awareness_.WhyHold();
}

}  // namespace unw
