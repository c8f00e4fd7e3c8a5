// Where the work and break cycle stands, and the answers of its prompts.
#pragma once

#include <cstdint>

namespace unw {

enum class CycleState {
  kStopped,      // the work interval is shown and nothing counts
  kCounting,     // the work countdown (or a reminder interval) runs
  kPaused,       // the work countdown stands where it was paused
  kPausedUntil,  // a timed pause: the countdown stands until a moment by the clock
  kResting,      // outside working hours a counting timer rests, showing the full interval
  kTimeUp,       // the time is up and no alert could be given (an unknown alert kind)
  kHeld,         // the time is up and the alert waits (HoldReason): the user away, a call...
  kPrompt,       // the time is up and the break prompt waits for an answer
  kBalloon,      // a tray alert shows its balloon notice
  kFlashing,     // a tray alert waits for a click: the icon flashes and the alert repeats
  kOnBreak,      // the break is counted down
  kBreakOver,    // the break-over prompt waits for an answer
};

// The trace's name of a state.
inline const char* CycleStateName(CycleState s) {
  switch (s) {
    case CycleState::kStopped:
      return "stopped";
    case CycleState::kCounting:
      return "counting";
    case CycleState::kPaused:
      return "paused";
    case CycleState::kPausedUntil:
      return "pauseduntil";
    case CycleState::kResting:
      return "resting";
    case CycleState::kTimeUp:
      return "timeup";
    case CycleState::kHeld:
      return "held";
    case CycleState::kPrompt:
      return "prompt";
    case CycleState::kBalloon:
      return "balloon";
    case CycleState::kFlashing:
      return "flashing";
    case CycleState::kOnBreak:
      return "break";
    case CycleState::kBreakOver:
      return "breakover";
  }
  return "?";
}

// The time-up alert, from the tick that ends the countdown to the user's answer.
inline bool IsAlert(CycleState s) {
  return s == CycleState::kTimeUp || s == CycleState::kHeld || s == CycleState::kPrompt ||
         s == CycleState::kBalloon || s == CycleState::kFlashing;
}

// Why a due alert waits (the state kHeld), or why an open prompt keeps quiet.
enum class HoldReason {
  kNone,
  kAway,          // the user is away: asleep, locked, switched away, idle
  kExitQuestion,  // the program asks whether to exit
  kPreferences,   // a settings window (Preferences, Working Hours, the programs that hold alerts)
                  // is open: what the user typed there must not be lost
  kFullScreen,    // a full-screen program is in front
  kCall,          // the camera or the microphone is in use
  kDoNotDisturb,  // the system is set not to disturb
  kProgram,       // one of the programs the user named runs
};

// The trace's name of a reason.
inline const char* HoldReasonName(HoldReason r) {
  switch (r) {
    case HoldReason::kNone:
      return "";
    case HoldReason::kAway:
      return "away";
    case HoldReason::kExitQuestion:
      return "exit";
    case HoldReason::kPreferences:
      return "preferences";
    case HoldReason::kFullScreen:
      return "fullscreen";
    case HoldReason::kCall:
      return "call";
    case HoldReason::kDoNotDisturb:
      return "dnd";
    case HoldReason::kProgram:
      return "program";
  }
  return "?";
}

// What the user answered a prompt; the numbers are those the prompts have always used.
enum class PromptAnswer : int32_t {
  kRemindLater = 0,
  kTakeBreak = 1,
  kStopTimer = 2,
  kRestartTimer = 3,
};

}  // namespace unw
