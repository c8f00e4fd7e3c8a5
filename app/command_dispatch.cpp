#include "app/command_dispatch.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "cycle/break_cycle.h"

namespace unw {

namespace {

constexpr const char* kStartingLine = "Unwindle is still starting.";

// The main window comes after the splash, with the settings: until then there is nothing to tell.
bool Starting(App& app) {
  return !app.ui.Find("frmTimer") || app.ui.Find("frmSplash");
}

// Why the program cannot follow a command now; empty when it can.
std::string Busy(App& app) {
  if (Starting(app)) return kStartingLine;
  if (app.frmTimer().blnExitQuestion())
    return "Unwindle cannot do that now: it is asking whether to exit.";
  static constexpr std::pair<const char*, const char*> kWaiting[] = {
      {"frmPreferences", "its Preferences window is open"},
      {"frmHoldPrograms", "its window of programs that hold alerts is open"},
      {"frmAbout", "its About window is open"},
      {"frmUnwindle", "the break prompt waits for an answer"},
      {"frmRestartTimer", "the prompt after the break waits for an answer"},
      {"frmBreakTimeRemaining", "a break is on"},
  };
  for (const auto& [form, why] : kWaiting)
    if (app.ui.Find(form)) return std::string("Unwindle cannot do that now: ") + why + ".";
  if (app.ui.modalDepth() > 0) return "Unwindle cannot do that now: a message waits for an answer.";
  return "";
}

Reply Refused(std::string why) {
  return {kExitRefused, std::move(why), nullptr};
}

}  // namespace

StatusFacts CurrentStatus(App& app) {
  const BreakCycle& cycle = app.cycle;
  const int32_t work = cycle.work().remaining();
  switch (cycle.state()) {
    case CycleState::kStopped:
      return {StatusKind::kStopped, work, std::nullopt};
    case CycleState::kCounting:
      return {StatusKind::kCounting, work, std::nullopt};
    case CycleState::kPaused:
      return {StatusKind::kPaused, work, std::nullopt};
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
  if (command.verb == Verb::kStatus)
    return Starting(app) ? Refused(kStartingLine)
                         : Reply{kExitDone, StatusLine(CurrentStatus(app)), nullptr};
  if (const std::string busy = Busy(app); !busy.empty()) return Refused(busy);
  if (command.verb == Verb::kExit) {
    // As when another program asks it to close: no question, the tray icon removed.
    return {kExitDone, "exiting", [&app] { app.frmTimer().Unload(kUnloadAppTaskManager); }};
  }
  return Refused("Unwindle cannot do " + EncodeCommand(command) +
                 " from the command line yet: use its window or the tray menu.");
}

}  // namespace unw
