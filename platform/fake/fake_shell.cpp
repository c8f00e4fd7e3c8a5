#include "platform/fake/fake_shell.h"

#include <cstring>

#include "alerts/sounds.h"

namespace unw {

namespace {

LogFont Tahoma(int height) {
  LogFont lf;
  lf.lfHeight = height;
  lf.lfWeight = 400;
  std::strcpy(lf.lfFaceName.data(), "Tahoma");
  return lf;
}

}  // namespace

long FakeNotificationArea::NotifyIcon(uint32_t message, const TrayIconData& data) {
  sent.push_back({message, data});
  const auto id = std::make_pair(data.hWnd, data.uID);
  long ok = 1;
  if (message == kNimAdd) ok = icons.insert(id).second;
  if (message == kNimModify || message == kNimSetVersion) ok = icons.count(id) > 0;
  if (message == kNimDelete) ok = icons.erase(id) > 0;
  trace_.Line("tray." + std::string(NotifyMessageName(message)),
              {std::to_string(data.cbSize), std::to_string(data.uFlags), std::to_string(data.hIcon),
               std::string(ShownText(data.szTip)), std::string(ShownText(data.szInfoTitle)),
               std::string(ShownText(data.szInfo)), std::to_string(data.dwInfoFlags)});
  return ok;
}

bool FakeNotificationArea::ShellFileVersionMS(uint32_t& versionMS) {
  if (shellMajor < 0) return false;
  versionMS = static_cast<uint32_t>(shellMajor) << 16;
  return true;
}

std::uintptr_t FakeNotificationArea::HookWindow(std::uintptr_t hwnd, WindowProc proc) {
  hook_ = std::move(proc);
  hookedWindow_ = hwnd;
  return kOwnProc;
}

void FakeNotificationArea::UnhookWindow(std::uintptr_t hwnd, std::uintptr_t previous) {
  if (hwnd == hookedWindow_ && previous == kOwnProc) {
    hook_ = nullptr;
    hookedWindow_ = 0;
  }
}

std::intptr_t FakeNotificationArea::CallPrevious(std::uintptr_t previous, std::uintptr_t,
                                                 uint32_t msg, std::uintptr_t, std::intptr_t) {
  if (previous == kOwnProc) passedOn.push_back(msg);
  return 0;
}

std::uintptr_t FakeNotificationArea::IconHandle(int set, int element) {
  return 0x10000 + static_cast<std::uintptr_t>(set) * 0x100 + static_cast<std::uintptr_t>(element);
}

std::intptr_t FakeNotificationArea::Deliver(std::uintptr_t hwnd, uint32_t msg,
                                            std::uintptr_t wParam, std::intptr_t lParam) {
  if (hook_ && hwnd == hookedWindow_) return hook_(hwnd, msg, wParam, lParam);
  passedOn.push_back(msg);
  return 0;
}

FakeSoundPlayer::FakeSoundPlayer(Trace& trace) : trace_(trace) {
  for (const auto& clip : kSoundCatalogue) resources.insert(clip.resourceName);
}

long FakeSoundPlayer::PlayClip(const std::string& name, uint32_t flags) {
  long ok =
      (flags & kSndResource) == kSndResource ? resources.count(name) > 0 : files.count(name) > 0;
  played.push_back({name, flags, ok});
  trace_.Line("sound.play", {name, std::to_string(flags), std::to_string(ok)});
  return ok;
}

long FakeSoundPlayer::MessageBeep(uint32_t type) {
  beeps.push_back(type);
  trace_.Line("sound.beep", {std::to_string(type)});
  return 1;
}

FakeSystemMetrics::FakeSystemMetrics() {
  metrics.iBorderWidth = 1;
  metrics.iScrollWidth = 16;
  metrics.iScrollHeight = 16;
  metrics.iCaptionWidth = 18;
  metrics.iCaptionHeight = 18;
  metrics.iMenuWidth = 18;
  metrics.iMenuHeight = 18;
  metrics.lfCaptionFont = Tahoma(-11);
  metrics.lfCaptionFont.lfWeight = 700;
  metrics.lfSmCaptionFont = Tahoma(-11);
  metrics.lfMenuFont = Tahoma(-11);
  metrics.lfStatusFont = Tahoma(-11);
  metrics.lfMessageFont = Tahoma(-11);
}

long FakeSystemMetrics::GetNonClientMetrics(NonClientMetricsData& m) {
  if (fail || m.cbSize != 340) return 0;
  const uint32_t size = m.cbSize;
  m = metrics;
  m.cbSize = size;
  return 1;
}

}  // namespace unw
