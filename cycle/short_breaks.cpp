// Short breaks between the long ones, and the heads-up before a break of either kind.
#include "cycle/break_cycle.h"

namespace unw {

bool BreakCycle::ShortBreakNow() {
  return false;
}

void BreakCycle::ShortBreakLater() {}

void BreakCycle::ShortBreakSkip() {}

void BreakCycle::HeadsUpLater() {}

void BreakCycle::HeadsUpClose() {}

void BreakCycle::ShortBreaksChanged() {}

}  // namespace unw
