// What the program knows of the person and the machine: away (asleep, locked, switched away)
// and back, how long since the last input, whether a full-screen program is in front, a call is
// on, the system is set not to disturb or one of the user's programs runs, and where the pointer
// is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/screen.h"

namespace unw {

// Why the user is away.
enum class AwayReason {
  kSleep,         // the machine sleeps or hibernates
  kLock,          // the session is locked
  kSwitchedAway,  // another session has the console (fast user switching, remote)
};

// The trace's name of a reason.
inline const char* AwayReasonName(AwayReason r) {
  switch (r) {
    case AwayReason::kSleep:
      return "sleep";
    case AwayReason::kLock:
      return "lock";
    case AwayReason::kSwitchedAway:
      return "switched";
  }
  return "?";
}

// The signs of a busy user that a system may be unable to tell.
enum class BusySign {
  kFullScreen,    // FullScreenInFront
  kCall,          // CallOn
  kDoNotDisturb,  // DoNotDisturb
  kPrograms,      // FirstRunning, RunningPrograms
};

class Presence {
 public:
  virtual ~Presence() = default;
  // From now on the user's going away (`away` true) and coming back, for a reason, go to `sink`.
  virtual void Subscribe(std::function<void(bool away, AwayReason reason)> sink) = 0;
  // Milliseconds of a clock that goes on while the machine sleeps.
  virtual int64_t WallMs() = 0;
  // Milliseconds since the last keyboard or mouse input of the session.
  virtual int64_t IdleMs() = 0;
  // Whether the user is busy with something full-screen: a program whose window covers its whole
  // monitor in front, a presentation, quiet time.
  virtual bool FullScreenInFront() = 0;
  // Whether a call is on: some program uses the camera or the microphone.
  virtual bool CallOn() = 0;
  // Whether the user told the system not to be disturbed (Do Not Disturb, Focus Assist).
  virtual bool DoNotDisturb() = 0;
  // The first of `names` (program file names, as the user wrote them) that runs in the user's
  // session, compared without regard to case; empty when none does.
  virtual std::string FirstRunning(const std::vector<std::string>& names) = 0;
  // The file names of the programs running in the user's session now, each once.
  virtual std::vector<std::string> RunningPrograms() = 0;
  // How a program's file name ends on this system (".exe"): a program the user names without a
  // suffix is looked for under its name with this one.
  virtual std::string ProgramFileSuffix() = 0;
  // The work area of the monitor that holds the mouse pointer.
  virtual ScreenRect PointerWorkArea() = 0;
  // Whether this system can tell `sign` at all; where it cannot, its question always answers no,
  // and a hold waiting for it would never hold. Asked again now and then: a desktop's services
  // may come and go. A system that tells every sign keeps this one.
  virtual bool CanTell(BusySign /*sign*/) { return true; }
};

}  // namespace unw
