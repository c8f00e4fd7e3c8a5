#include "backends/fake/fake_presence.h"

#include <algorithm>
#include <cctype>

#include "backends/fake/fake_event_loop.h"

namespace unw {

namespace {

// As Windows compares file names: letters without regard to case (ASCII is enough here).
bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

bool FakePresence::CallOn() {
  ++looks;
  return (camera || microphone) && CanTell(BusySign::kCall);
}

bool FakePresence::DoNotDisturb() {
  ++looks;
  return doNotDisturb && CanTell(BusySign::kDoNotDisturb);
}

std::string FakePresence::FirstRunning(const std::vector<std::string>& names) {
  ++looks;
  if (!CanTell(BusySign::kPrograms)) return "";
  for (const std::string& name : names) {
    for (const std::string& running : programs) {
      if (SameName(name, running)) return name;
    }
  }
  return {};
}

std::vector<std::string> FakePresence::RunningPrograms() {
  std::vector<std::string> once;
  if (!CanTell(BusySign::kPrograms)) return once;
  for (const std::string& p : programs) {
    if (std::none_of(once.begin(), once.end(),
                     [&](const std::string& o) { return SameName(o, p); }))
      once.push_back(p);
  }
  return once;
}

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
