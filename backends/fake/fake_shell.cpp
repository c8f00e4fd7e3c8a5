#include "backends/fake/fake_shell.h"

#include "alerts/sounds.h"

namespace unw {

namespace {

// The classic system font: Tahoma, 8.25 points (11 pixels at 96 DPI).
SystemFont Tahoma(int weight) {
  SystemFont f;
  f.face = "Tahoma";
  f.points = 8.25f;
  f.weight = weight;
  return f;
}

}  // namespace

namespace {

const char* KindName(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::kNone:
      return "none";
    case NoticeKind::kInformation:
      return "information";
    case NoticeKind::kWarning:
      return "warning";
    case NoticeKind::kError:
      return "error";
  }
  return "?";
}

}  // namespace

bool FakeNotificationArea::ShowIcon(std::uintptr_t window, std::uintptr_t icon,
                                    const std::string& text) {
  const bool add = icons.insert(window).second;
  adds += add;
  picture = icon;
  tip = text;
  shown.push_back(icon);
  trace_.Line(add ? "tray.add" : "tray.modify", {std::to_string(icon), text});
  return true;
}

bool FakeNotificationArea::RemoveIcon(std::uintptr_t window) {
  const bool ok = icons.erase(window) > 0;
  balloonOnScreen = false;
  trace_.Line("tray.delete", {});
  return ok;
}

bool FakeNotificationArea::ShowNotice(std::uintptr_t window, const std::string& title,
                                      const std::string& text, NoticeKind kind) {
  if (!icons.count(window) || !noticesAllowed) return false;
  notices.push_back({title, text, kind});
  ++balloonsShown;
  balloonOnScreen = true;
  trace_.Line("tray.modify", {std::to_string(picture), tip, title, text, KindName(kind)});
  return true;
}

bool FakeNotificationArea::TakeDownNotice(std::uintptr_t window) {
  if (!icons.count(window)) return false;
  balloonOnScreen = false;
  trace_.Line("tray.modify", {std::to_string(picture), tip});
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
  std::vector<std::string> names = {kShortBreakStartClip, kShortBreakEndClip};
  for (const auto& clip : kSoundCatalogue) names.push_back(clip.resourceName);
  for (const std::string& name : names) {
    // A PCM wave (mono, 8000 Hz, 8 bits) whose samples spell the clip's name.
    std::string wave = "RIFF....WAVEfmt ";
    wave += std::string("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 20);
    wave += "data";
    const std::string data = name.size() % 2 ? name + '\x80' : name;
    for (int i = 0; i < 4; ++i) wave += static_cast<char>(data.size() >> (8 * i));
    wave += data;
    for (int i = 0; i < 4; ++i) wave[4 + i] = static_cast<char>((wave.size() - 8) >> (8 * i));
    playable_.insert(wave);
    clips[name] = std::move(wave);
  }
}

std::string FakeSoundPlayer::ClipBytes(const std::string& id) {
  auto clip = clips.find(id);
  if (clip == clips.end()) {
    trace_.Line("sound.play", {id, "0", "0"});
    return {};
  }
  return clip->second;
}

void FakeSoundPlayer::Stop() {
  played.push_back({"", What::kStop, 1, false});
  trace_.Line("sound.play", {"", "stop", "1"});
}

long FakeSoundPlayer::PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) {
  const long ok = wave && !wave->empty();
  // Heard when the bytes are those read from a file the test said the system plays. Like the
  // system: a wave played asynchronously is "started" whatever it holds.
  const bool audible = ok && playable_.count(*wave) > 0;
  played.push_back({name, What::kWave, ok, audible});
  trace_.Line("sound.play", {name, "wave", std::to_string(ok)});
  return ok;
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

bool FakeSoundPlayer::PlayBeep(Beep kind) {
  static constexpr const char* kNames[] = {"information", "warning", "error", "question"};
  beeps.push_back(kind);
  trace_.Line("sound.beep", {kNames[static_cast<int>(kind)]});
  return true;
}

FakeSystemMetrics::FakeSystemMetrics() {
  fonts.message = Tahoma(400);
  fonts.caption = Tahoma(700);
  fonts.menu = Tahoma(400);
  fonts.status = Tahoma(400);
  fonts.captionHeight = 18;
  fonts.borderWidth = 1;
}

bool FakeSystemMetrics::ReadFonts(SystemFonts& out) {
  if (fail) return false;
  out = fonts;
  return true;
}

}  // namespace unw
