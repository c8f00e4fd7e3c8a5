#include "app/command_dispatch.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "cycle/break_cycle.h"

namespace unw {

namespace {

constexpr const char* kStartingLine = NT("Unwindle is still starting.");

// The main window comes after the splash, with the settings: until then there is nothing to tell.
bool Starting(App& app) {
  return !app.ui.Find("frmTimer") || app.ui.Find("frmSplash");
}

// Why the program cannot follow a command now; empty when it can.
std::string Busy(App& app) {
  const Texts& t = app.texts;
  if (Starting(app)) return t.T(kStartingLine);
  if (app.frmTimer().blnExitQuestion())
    return t.T("Unwindle cannot do that now: it is asking whether to exit.");
  // The one-time change: what is typed in its boxes is used by the next start.
  if (app.frmTimer().editing())
    return t.T("Unwindle cannot do that now: its main window's time entry is open.");
  static constexpr std::pair<const char*, const char*> kWaiting[] = {
      {"frmPreferences", NT("Unwindle cannot do that now: its Preferences window is open.")},
      {"frmWorkingHours", NT("Unwindle cannot do that now: its Working Hours window is open.")},
      {"frmShortBreaks", NT("Unwindle cannot do that now: its Short Breaks window is open.")},
      {"frmHoldPrograms",
       NT("Unwindle cannot do that now: its window of programs that hold alerts is open.")},
      {"frmBreakIdeas", NT("Unwindle cannot do that now: its Break Ideas window is open.")},
      {"frmBreakScreenOptions",
       NT("Unwindle cannot do that now: its Break Screen window is open.")},
      {"frmAbout", NT("Unwindle cannot do that now: its About window is open.")},
      {"frmStatistics", NT("Unwindle cannot do that now: its Statistics window is open.")},
      {"frmUnwindle", NT("Unwindle cannot do that now: the break prompt waits for an answer.")},
      {"frmRestartTimer",
       NT("Unwindle cannot do that now: the prompt after the break waits for an answer.")},
      {"frmBreakTimeRemaining", NT("Unwindle cannot do that now: a break is on.")},
  };
  for (const auto& [form, why] : kWaiting)
    if (app.ui.Find(form)) return t.T(why);
  // On the break screen: the long break as in its window; a strict short break too, which
  // nothing but its end, a long enough absence or Exit ends.
  const CycleSnapshot now = app.cycle.Snapshot();
  if (now.onScreen && (now.strict || now.state == CycleState::kOnBreak))
    return t.T("Unwindle cannot do that now: a break is on.");
  if (app.ui.modalDepth() > 0)
    return t.T("Unwindle cannot do that now: a message waits for an answer.");
  return "";
}

Reply Refused(std::string why) {
  return {kExitRefused, std::move(why), nullptr};
}

// Why the cycle refused a short break now, in the words of the other refusals.
std::string ShortBreakRefused(const Texts& t, CycleState state) {
  switch (state) {
    case CycleState::kOnBreak:
      return t.T("Unwindle cannot take a short break now: a break is on.");
    case CycleState::kBreakOver:
      return t.T(
          "Unwindle cannot take a short break now: the prompt after the break waits for an "
          "answer.");
    case CycleState::kTimeUp:
    case CycleState::kHeld:
    case CycleState::kPrompt:
    case CycleState::kBalloon:
    case CycleState::kFlashing:
      return t.T("Unwindle cannot take a short break now: the time for a break is up.");
    default:
      break;
  }
  return t.T("Unwindle cannot take a short break now.");
}

}  // namespace

StatusFacts CurrentStatus(App& app) {
  BreakCycle& cycle = app.cycle;
  Calendar& calendar = app.sys.calendar;
  const int32_t work = cycle.work().remaining();
  // The work countdown counts on under a short break; what the user sees is the short break.
  if (const CycleSnapshot now = cycle.Snapshot(); now.shortBreakOn)
    return {StatusKind::kShortBreak, now.shortBreak.remaining(), std::nullopt};
  switch (cycle.state()) {
    case CycleState::kStopped:
      return {StatusKind::kStopped, work, std::nullopt};
    case CycleState::kCounting:
      return {StatusKind::kCounting, work, std::nullopt};
    case CycleState::kPaused:
      return {StatusKind::kPaused, work, std::nullopt};
    case CycleState::kPausedUntil:
      return {StatusKind::kPausedUntil, work,
              UpcomingOf(calendar, calendar.UtcMs(), cycle.pauseEnd())};
    case CycleState::kResting: {
      const auto start = cycle.NextWorkStart();
      return {StatusKind::kOutsideHours, work,
              start ? std::optional(UpcomingOf(calendar, calendar.UtcMs(), *start)) : std::nullopt};
    }
    case CycleState::kOnBreak:
      return {StatusKind::kBreak, cycle.breakTime().remaining(), std::nullopt};
    case CycleState::kBreakOver:
      return {StatusKind::kBreakOver, 0, std::nullopt};
    default:
      return {StatusKind::kAlert, 0, std::nullopt};
  }
}

Reply DispatchCommand(App& app, const Command& command) {
  // Reading where the cycle stands interrupts nobody.
  // Still starting: the sender asks again once the main window is up.
  if (Starting(app)) return {kReplyStarting, app.texts.T(kStartingLine), nullptr};
  if (command.verb == Verb::kStatus)
    return Reply{kExitDone, StatusLine(CurrentStatus(app)), nullptr};
  if (const std::string busy = Busy(app); !busy.empty()) return Refused(busy);
  BreakCycle& cycle = app.cycle;
  const CycleState state = cycle.state();
  auto done = [&app] { return Reply{kExitDone, StatusLine(CurrentStatus(app)), nullptr}; };
  switch (command.verb) {
    case Verb::kExit:
      // As when another program asks it to close: no question, the tray icon removed.
      return {kExitDone, "exiting", [&app] { app.frmTimer().Unload(kUnloadAppTaskManager); }};
    case Verb::kBreak:
      // The break window waits for the user: it opens once the answer is on its way.
      return {kExitDone, "break", [&app] { app.cycle.BreakNow(BreakSource::kCommandLine); }};
    case Verb::kShortBreak:
      // The short break's window waits for nobody: the cycle says at once whether it began.
      if (cycle.ShortBreakNow()) return {kExitDone, "short break", nullptr};
      return Refused(ShortBreakRefused(app.texts, state));
    case Verb::kPause:
      if (state == CycleState::kStopped || state == CycleState::kResting)
        return Refused(app.texts.T("Unwindle is not counting: there is nothing to pause."));
      if (command.minutes)
        cycle.PauseFor(TimedPause{*command.minutes});
      else if (state != CycleState::kPaused)
        cycle.Pause();
      return done();
    case Verb::kResume:
      cycle.Resume();
      return done();
    case Verb::kStart:
      if (state != CycleState::kCounting && state != CycleState::kResting) cycle.Start();
      return done();
    case Verb::kStop:
      if (state != CycleState::kStopped) cycle.Stop();
      return done();
    case Verb::kHistory:  // unwindle.com reads the journal itself; it never comes here
    case Verb::kStatus:
    case Verb::kHelp:
      break;
  }
  return Refused(
      app.texts.T("Unwindle cannot do {command}.", {{"command", EncodeCommand(command)}}));
}

}  // namespace unw
