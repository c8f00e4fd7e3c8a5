#include "backends/fake/fake_shell.h"

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

long FakeNotificationArea::NotifyIcon(TrayCommand command, const TrayIconData& data) {
  sent.push_back({command, data});
  const auto id = std::make_pair(data.hWnd, data.uID);
  long ok = 1;
  if (command == TrayCommand::kAdd) ok = icons.insert(id).second;
  if (command == TrayCommand::kModify || command == TrayCommand::kSetVersion)
    ok = icons.count(id) > 0;
  if (command == TrayCommand::kDelete) {
    ok = icons.erase(id) > 0;
    balloonOnScreen = false;
  }
  if (ok && command == TrayCommand::kModify && (data.uFlags & 16) != 0 &&
      data.cbSize > 104) {  // the first layout has no balloon
    const bool text = !ShownText(data.szInfo).empty();
    balloonsShown += text;
    balloonOnScreen = text;
  }
  trace_.Line("tray." + std::string(TrayCommandName(command)),
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

bool FakeNotificationArea::Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) {
  sink_ = std::move(sink);
  window_ = window;
  return true;
}

void FakeNotificationArea::Unsubscribe(std::uintptr_t window) {
  if (window != window_) return;
  sink_ = nullptr;
  window_ = 0;
}

std::uintptr_t FakeNotificationArea::IconHandle(int set, int element) {
  return 0x10000 + static_cast<std::uintptr_t>(set) * 0x100 + static_cast<std::uintptr_t>(element);
}

void FakeNotificationArea::Raise(TrayEvent event) {
  if (event == TrayEvent::kRecreated) icons.clear();  // the icon went with the old taskbar
  if (sink_) sink_(event);
}

FakeSoundPlayer::FakeSoundPlayer(Trace& trace, FakeEventLoop& loop) : trace_(trace), loop_(loop) {
  for (const auto& clip : kSoundCatalogue) resources.insert(clip.resourceName);
}

long FakeSoundPlayer::PlayClip(const std::string& name, uint32_t flags) {
  const bool resource = (flags & kSndResource) == kSndResource;
  auto file = files.find(name);
  const bool audible = resource ? resources.count(name) > 0
                                : file != files.end() && file->second.answers && file->second.plays;
  // Like the system: a file played asynchronously is "started" whatever it holds.
  const long ok = resource ? audible : (flags & kSndAsync) != 0 || audible;
  played.push_back({name, flags, ok, audible});
  trace_.Line("sound.play", {name, std::to_string(flags), std::to_string(ok)});
  return ok;
}

long FakeSoundPlayer::PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) {
  // Heard when the bytes are those read from a file the test said the system plays.
  const bool audible = wave && playable_.count(*wave) > 0;
  // Like the system: a wave played asynchronously is "started" whatever it holds.
  played.push_back({name, kSndMemoryFlags, 1, audible});
  trace_.Line("sound.play", {name, std::to_string(kSndMemoryFlags), "1"});
  return 1;
}

void FakeSoundPlayer::ReadFileAsync(const std::string& path, size_t maxBytes,
                                    std::function<void(bool ok, std::string bytes)> done) {
  reads.push_back(path);
  auto file = files.find(path);
  Read read{path, maxBytes, std::move(done)};
  if (file != files.end() && !file->second.answers)
    held_.push_back(std::move(read));
  else
    Finish(std::move(read), file != files.end() ? file->second.readMs : 0);
}

void FakeSoundPlayer::Answer(const std::string& path) {
  for (auto it = held_.begin(); it != held_.end();) {
    if (it->path != path) {
      ++it;
      continue;
    }
    Finish(std::move(*it), 0);
    it = held_.erase(it);
  }
}

void FakeSoundPlayer::Finish(Read read, int64_t ms) {
  loop_.At(loop_.NowMs() + ms, [this, read = std::move(read)] {
    auto file = files.find(read.path);
    const bool ok = file != files.end();
    std::string bytes = ok ? file->second.bytes.substr(0, read.maxBytes) : std::string();
    if (ok && file->second.plays) playable_.insert(bytes);
    read.done(ok, std::move(bytes));
  });
}

EventLoop& FakeSoundPlayer::loop() {
  return loop_;
}

std::string FakeSoundPlayer::Wave() {
  // RIFF, a PCM format chunk (mono, 8000 Hz, 8 bits) and four samples.
  std::string w = "RIFF";
  w += std::string("\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0",
                   32);
  w += std::string("data\x04\0\0\0\x80\xff\x80\x00", 12);
  return w;
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
