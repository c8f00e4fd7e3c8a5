#include "platform/fake/fake_presence.h"

#include "platform/fake/fake_event_loop.h"

namespace unw {

int64_t FakePresence::WallMs() {
  return loop_.NowMs();
}

int64_t FakePresence::IdleMs() {
  return WallMs() - lastInput_;
}

void FakePresence::Input() {
  lastInput_ = WallMs();
}

ScreenRect FakePresence::PointerWorkArea() {
  for (const ScreenRect& m : monitors) {
    if (pointerX >= m.left && pointerX < m.right && pointerY >= m.top && pointerY < m.bottom)
      return m;
  }
  return monitors.front();
}

}  // namespace unw
