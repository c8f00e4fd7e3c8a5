#include "alerts/sounds.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "alerts/clip_pack.h"
#include "alerts/wave_file.h"
#include "platform/event_loop.h"
#include "platform/sound.h"
#include "platform/trace.h"
#include "settings/settings.h"

namespace unw {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Upper(s[i]) != Upper(prefix[i])) return false;
  }
  return true;
}

// A name the system takes for a device wherever it stands: its part before the first dot, less
// trailing spaces and a colon, is one of the reserved names.
bool IsReservedName(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.remove_suffix(1);
  std::string up;
  for (char c : name) up += Upper(c);
  for (std::string_view reserved : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
    if (up == reserved) return true;
  }
  if (!StartsNoCase(up, "COM") && !StartsNoCase(up, "LPT")) return false;
  const std::string_view number = std::string_view(up).substr(3);
  // A digit, or a superscript one, two or three (U+00B9, U+00B2, U+00B3).
  return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
         number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

std::string TrimSpaces(const std::string& s) {
  const size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

Beep AlertBeep(int16_t limit, int16_t count) {
  static constexpr Beep kBeeps[] = {Beep::kInformation, Beep::kWarning, Beep::kError};
  return kBeeps[SnoozeStep(limit, count)];
}

bool IsDevicePath(std::string_view path) {
  path = path.substr(0, path.find('\0'));
  if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[3])) {
    // "\\.\": the device namespace. "\??\": the system's own names.
    if (IsSeparator(path[1]) && path[2] == '.') return true;
    if (path[1] == '?' && path[2] == '?') return true;
    // "\\?\": a file only after a drive, "UNC\" or a volume; anything else is an object of the
    // system's ("\\?\GLOBALROOT\Device\...", "\\?\COM1", "\\?\pipe\...").
    if (IsSeparator(path[1]) && path[2] == '?') {
      const std::string_view rest = path.substr(4);
      const bool drive = rest.size() >= 3 && Upper(rest[0]) >= 'A' && Upper(rest[0]) <= 'Z' &&
                         rest[1] == ':' && IsSeparator(rest[2]);
      const bool unc = rest.size() >= 4 && StartsNoCase(rest, "UNC") && IsSeparator(rest[3]);
      if (!drive && !unc && !StartsNoCase(rest, "Volume{")) return true;
    }
  }
  const size_t slash = path.find_last_of("\\/");
  std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  // "C:NUL" names the device as "NUL" does.
  if (slash == std::string_view::npos && last.size() >= 2 && last[1] == ':') last.remove_prefix(2);
  return IsReservedName(last);
}

// The sound files: the waves that played, kept by path, the reads under way and the sounds
// waiting for them. Shared with the callbacks of the player and the loop, which find it gone
// once the program's sounds are.
struct AlertSounds::Files {
  Files(SoundPlayer& p, Trace& t) : player(p), trace(t) {}

  struct Waiting {
    uint64_t id;
    std::string path;
    Wait wait;
    std::function<void(bool)> then;
  };

  std::shared_ptr<const std::string> Kept(const std::string& path) const {
    for (const auto& [p, wave] : kept) {
      if (p == path) return wave;
    }
    return nullptr;
  }
  // The latest first; the chosen sound and a preview of another fit.
  void Keep(const std::string& path, std::shared_ptr<const std::string> wave) {
    Forget(path);
    kept.insert(kept.begin(), {path, std::move(wave)});
    if (kept.size() > 2) kept.pop_back();
  }
  void Forget(const std::string& path) {
    std::erase_if(kept, [&](const auto& k) { return k.first == path; });
  }
  void Unplayable(const std::string& path, const char* reason) {
    trace.Line("sound.unplayable", {path, reason});
  }
  // Takes the waiting sounds that `match` picks out of the list.
  template <class Match>
  std::vector<Waiting> Take(Match match) {
    std::vector<Waiting> taken;
    for (auto it = waiting.begin(); it != waiting.end();) {
      if (match(*it)) {
        taken.push_back(std::move(*it));
        it = waiting.erase(it);
      } else {
        ++it;
      }
    }
    return taken;
  }

  static void Read(const std::shared_ptr<Files>& files, const std::string& path) {
    if (!files->reading.insert(path).second) return;  // one read of a file at a time
    std::weak_ptr<Files> weak = files;
    files->player.ReadFileAsync(path, kSoundFileMaxBytes, [weak, path](bool ok, std::string bytes) {
      if (auto f = weak.lock()) f->Arrived(path, ok, bytes);
    });
  }

  // A read ended: the file's wave is kept when it can play, and plays once for the sounds that
  // waited for it.
  void Arrived(const std::string& path, bool ok, const std::string& bytes) {
    reading.erase(path);
    // A built-in clip saved as a file plays too.
    std::string image = ok ? WaveImage(UnpackClip(bytes)) : std::string();
    const char* reason = !ok ? "unreadable" : image.empty() ? "format" : nullptr;
    std::shared_ptr<const std::string> wave;
    if (reason) {
      Forget(path);
    } else {
      wave = std::make_shared<const std::string>(std::move(image));
      Keep(path, wave);
    }
    std::vector<Waiting> now = Take([&](const Waiting& w) { return w.path == path; });
    if (now.empty()) return;
    bool played = false;
    if (wave)
      played = player.PlayWave(path, wave) != 0;
    else
      Unplayable(path, reason);
    for (Waiting& w : now) w.then(played);
  }

  void TimedOut(uint64_t id) {
    std::vector<Waiting> late = Take([id](const Waiting& w) { return w.id == id; });
    for (Waiting& w : late) {
      Unplayable(w.path, "timeout");
      w.then(false);
    }
  }

  SoundPlayer& player;
  Trace& trace;
  std::vector<std::pair<std::string, std::shared_ptr<const std::string>>> kept;
  std::set<std::string> reading;  // files with a read under way
  std::vector<Waiting> waiting;
  uint64_t nextId = 1;
};

AlertSounds::AlertSounds(SoundPlayer& player, const Settings& settings, Trace& trace)
    : player_(player), s_(settings), files_(std::make_shared<Files>(player, trace)) {}

AlertSounds::~AlertSounds() = default;

void AlertSounds::PlaySystemBeep(int16_t reminders) {
  player_.PlayBeep(AlertBeep(s_.NumberOfSnooze, reminders));
}

int16_t AlertSounds::PlayCatalogueSound(int index) {
  if (index < 0 || index > 14) return 0;
  return PlayClip(kSoundCatalogue[index].resourceName) ? 1 : 0;
}

int16_t AlertSounds::PlaySelectedSound() {
  return PlayCatalogueSound(s_.SelectedSound);
}

uint64_t AlertSounds::PlayFileThen(const std::string& path, bool fresh, Wait wait,
                                   std::function<void(bool played)> then) {
  Files& f = *files_;
  if (IsDevicePath(path)) {
    f.Unplayable(path, "device");
    then(false);
    return 0;
  }
  if (!fresh) {
    if (auto wave = f.Kept(path)) {
      then(player_.PlayWave(path, wave) != 0);
      return 0;
    }
  }
  const uint64_t id = f.nextId++;
  f.waiting.push_back({id, path, wait, std::move(then)});
  Files::Read(files_, path);
  std::weak_ptr<Files> weak = files_;
  player_.loop().After(kSoundFileWaitMs, [weak, id] {
    if (auto files = weak.lock()) files->TimedOut(id);
  });
  return id;
}

long AlertSounds::PlayFile(const std::string& path) {
  if (TrimSpaces(path).empty()) {
    files_->Unplayable(path, "unreadable");
    return 0;
  }
  bool answered = false, played = false;
  const uint64_t id = PlayFileThen(path, /*fresh*/ true, Wait::kInPlace, [&](bool p) {
    answered = true;
    played = p;
  });
  if (!answered) player_.loop().RunUntil([&answered] { return answered; });
  // The loop ends early only when the program quits: nothing may call back into this frame.
  if (!answered) files_->Take([id](const Files::Waiting& w) { return w.id == id; });
  return played ? 1 : 0;
}

void AlertSounds::PreviewFile(const std::string& path) {
  if (TrimSpaces(path).empty()) return;
  PlayFileThen(path, /*fresh*/ true, Wait::kPreview, [](bool) {});
}

void AlertSounds::PrepareCustomSound() {
  const std::string path = TrimSpaces(s_.CustomSound);
  if (s_.AudioType != 3 || path.empty() || IsDevicePath(path) || files_->Kept(path)) return;
  Files::Read(files_, path);
}

void AlertSounds::Stop() {
  files_->Take([](const Files::Waiting& w) { return w.wait == Wait::kPreview; });
  player_.Stop();
}

void AlertSounds::PlayCustomSound(std::function<void()> fallback) {
  const std::string path = TrimSpaces(s_.CustomSound);
  if (path.empty()) {
    fallback();
    return;
  }
  PlayFileThen(path, /*fresh*/ false, Wait::kAlert, [fallback = std::move(fallback)](bool played) {
    if (!played) fallback();
  });
}

void AlertSounds::PlayAlertSound(int16_t reminders) {
  switch (s_.AudioType) {
    case 1:
      PlaySystemBeep(reminders);
      break;
    case 2:
      if (PlaySelectedSound() == 0) PlaySystemBeep(reminders);
      break;
    case 3:
      PlayCustomSound([this, reminders] { PlaySystemBeep(reminders); });
      break;
    default:
      break;
  }
}

void AlertSounds::PlayShortBreakSound(bool starts) {
  PlayClip(starts ? kShortBreakStartClip : kShortBreakEndClip);
}

bool AlertSounds::PlayClip(const std::string& id) {
  std::string wave = UnpackClip(player_.ClipBytes(id));
  return !wave.empty() &&
         player_.PlayWave(id, std::make_shared<const std::string>(std::move(wave))) != 0;
}

void AlertSounds::AnnounceBreakOver() {
  // Unlike the alert, the fallback here is always the question beep.
  switch (s_.AudioType) {
    case 1:
      player_.PlayBeep(Beep::kQuestion);
      break;
    case 2:
      if (PlaySelectedSound() == 0) player_.PlayBeep(Beep::kQuestion);
      break;
    case 3:
      PlayCustomSound([this] { player_.PlayBeep(Beep::kQuestion); });
      break;
    default:
      break;
  }
}

}  // namespace unw
