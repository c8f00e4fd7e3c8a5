#include "backends/qt/sound_linux.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QMetaObject>
#include <QObject>
#include <cmath>
#include <cstring>
#include <vector>

#include "backends/qt/embedded_linux.h"

namespace unw {

namespace {

uint32_t Le(std::string_view b, size_t at, int bytes) {
  uint32_t n = 0;
  for (int i = 0; i < bytes; ++i)
    n |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return n;
}

// What ALSA needs to know of a wave, and its sound data.
struct Wave {
  snd_pcm_format_t format = SND_PCM_FORMAT_UNKNOWN;
  unsigned channels = 0, rate = 0, frameBytes = 0;
  std::string_view data;
};

// The wave's format and data, when ALSA can play its encoding (PCM, float, A-law, mu-law).
bool ParseWave(std::string_view b, Wave& w) {
  if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") return false;
  unsigned tag = 0, bits = 0;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string_view id = b.substr(at, 4);
    const uint32_t size = Le(b, at + 4, 4);
    const size_t body = at + 8;
    if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
      tag = Le(b, body, 2);
      w.channels = Le(b, body + 2, 2);
      w.rate = Le(b, body + 4, 4);
      bits = Le(b, body + 14, 2);
      // WAVE_FORMAT_EXTENSIBLE: the encoding is the first two bytes of its sub-format.
      if (tag == 0xFFFE && size >= 40 && body + 26 <= b.size()) tag = Le(b, body + 24, 2);
    } else if (id == "data") {
      w.data = b.substr(body, std::min<size_t>(size, b.size() - body));
      break;
    }
    at = body + size + (size & 1);
  }
  if (tag == 1)
    w.format = bits == 8    ? SND_PCM_FORMAT_U8
               : bits == 16 ? SND_PCM_FORMAT_S16_LE
               : bits == 24 ? SND_PCM_FORMAT_S24_3LE
               : bits == 32 ? SND_PCM_FORMAT_S32_LE
                            : SND_PCM_FORMAT_UNKNOWN;
  else if (tag == 3)
    w.format = bits == 32   ? SND_PCM_FORMAT_FLOAT_LE
               : bits == 64 ? SND_PCM_FORMAT_FLOAT64_LE
                            : SND_PCM_FORMAT_UNKNOWN;
  else if (tag == 6 && bits == 8)
    w.format = SND_PCM_FORMAT_A_LAW;
  else if (tag == 7 && bits == 8)
    w.format = SND_PCM_FORMAT_MU_LAW;
  w.frameBytes = w.channels * (bits / 8);
  return w.format != SND_PCM_FORMAT_UNKNOWN && w.channels > 0 && w.channels <= 8 &&
         w.rate >= 1000 && w.rate <= 384000 && w.frameBytes > 0 && w.data.size() >= w.frameBytes;
}

// ALSA's own complaints (no card, a busy device) go to the trace through our results, not to the
// program's stderr.
void Quietly(const char*, int, const char*, int, const char*, ...) {}

// How each kind of beep sounds: a pitch, a length and how often.
struct Tone {
  int hz, ms, repeats;
};
Tone ToneOf(Beep kind) {
  switch (kind) {
    case Beep::kInformation:
      return {880, 120, 1};
    case Beep::kWarning:
      return {660, 110, 2};
    case Beep::kError:
      return {330, 260, 1};
    case Beep::kQuestion:
      return {990, 90, 2};
  }
  return {880, 120, 1};
}

}  // namespace

std::string ToneWave(int hz, int ms, int repeats) {
  constexpr int kRate = 22050;
  const int n = kRate * ms / 1000, gap = kRate / 20, fade = kRate / 200;
  std::vector<int16_t> samples;
  for (int r = 0; r < repeats; ++r) {
    for (int i = 0; i < n; ++i) {
      const double edge = std::min({1.0, double(i) / fade, double(n - i) / fade});
      samples.push_back(
          static_cast<int16_t>(12000 * edge * std::sin(2 * 3.14159265358979 * hz * i / kRate)));
    }
    if (r + 1 < repeats) samples.insert(samples.end(), gap, 0);
  }
  const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  std::string w = "RIFF";
  auto le = [&w](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) w += static_cast<char>((v >> (8 * i)) & 0xff);
  };
  le(36 + data, 4);
  w += "WAVEfmt ";
  le(16, 4);
  le(1, 2);
  le(1, 2);
  le(kRate, 4);
  le(kRate * 2, 4);
  le(2, 2);
  le(16, 2);
  w += "data";
  le(data, 4);
  w.append(reinterpret_cast<const char*>(samples.data()), data);
  return w;
}

// Where the reads' threads leave what they read: handed to the program's loop while the player
// lives, dropped after.
struct LinuxSoundPlayer::Mailbox {
  std::mutex mutex;
  QObject* context = nullptr;  // null once the player is gone
  int underWay = 0;
};

LinuxSoundPlayer::LinuxSoundPlayer(Trace& trace, EventLoop& loop, std::string device)
    : trace_(trace),
      loop_(loop),
      device_(std::move(device)),
      context_(std::make_unique<QObject>()),
      mail_(std::make_shared<Mailbox>()) {
  mail_->context = context_.get();
  snd_lib_error_set_handler(Quietly);
  thread_ = std::thread([this] { Play(); });
}

LinuxSoundPlayer::~LinuxSoundPlayer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    ++turn_;
  }
  wake_.notify_all();
  thread_.join();
  std::lock_guard<std::mutex> lock(mail_->mutex);
  mail_->context = nullptr;
}

void LinuxSoundPlayer::Play() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || next_; });
    if (quit_) return;
    const std::shared_ptr<const std::string> wave = std::move(next_);
    next_.reset();
    busy_ = true;
    const uint64_t turn = turn_;
    lock.unlock();
    auto cut = [&] {
      std::lock_guard<std::mutex> l(mutex_);
      return turn_ != turn;
    };
    Wave w;
    snd_pcm_t* pcm = nullptr;
    int rc = ParseWave(*wave, w) ? snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0)
                                 : -EINVAL;
    if (rc == 0)
      rc = snd_pcm_set_params(pcm, w.format, SND_PCM_ACCESS_RW_INTERLEAVED, w.channels, w.rate, 1,
                              200000);
    // A twentieth of a second at a time: a new sound or a stop is heard no later.
    const size_t chunk = std::max<size_t>(1, w.rate / 20);
    size_t frames = w.frameBytes ? w.data.size() / w.frameBytes : 0, at = 0;
    while (rc == 0 && at < frames && !cut()) {
      const snd_pcm_sframes_t n =
          snd_pcm_writei(pcm, w.data.data() + at * w.frameBytes, std::min(chunk, frames - at));
      if (n < 0)
        rc = snd_pcm_recover(pcm, static_cast<int>(n), 1);
      else
        at += static_cast<size_t>(n);
    }
    // Played to its end unless cut meanwhile; a device whose clock does not run (a file, the
    // null device) is given the time the sound lasts, and no more.
    for (snd_pcm_sframes_t delay = 0, waited = 0;
         rc == 0 && !cut() && snd_pcm_delay(pcm, &delay) == 0 && delay > 0 &&
         waited < static_cast<snd_pcm_sframes_t>(w.rate) / 5 + delay;
         waited += static_cast<snd_pcm_sframes_t>(w.rate) / 50)
      usleep(20000);
    if (pcm) {
      snd_pcm_drop(pcm);
      snd_pcm_close(pcm);
    }
    // The trace is the program thread's.
    if (rc != 0)
      QMetaObject::invokeMethod(
          context_.get(),
          [this, error = std::string(snd_strerror(rc))] {
            trace_.Line("sound.device", {device_, error});
          },
          Qt::QueuedConnection);
    lock.lock();
    busy_ = false;
  }
}

bool LinuxSoundPlayer::Quiet() {
  std::lock_guard<std::mutex> lock(mutex_);
  return !busy_ && !next_;
}

std::string LinuxSoundPlayer::ClipBytes(const std::string& id) {
  for (const linux_sys::Embedded& e : linux_sys::kClips)
    if (!id.empty() && e.name == id) return std::string(e.bytes);
  trace_.Line("sound.play", {id, "0", "0"});
  return "";
}

void LinuxSoundPlayer::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    next_.reset();
    ++turn_;
  }
  trace_.Line("sound.play", {"", "0", "1"});
}

long LinuxSoundPlayer::PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) {
  Wave w;
  const long result = wave && ParseWave(*wave, w) ? 1 : 0;
  if (result) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      next_ = std::move(wave);
      ++turn_;
    }
    wake_.notify_all();
  }
  trace_.Line("sound.play", {name, "0", std::to_string(result)});
  return result;
}

bool LinuxSoundPlayer::PlayBeep(Beep kind) {
  static const auto tones = [] {
    std::map<Beep, std::shared_ptr<const std::string>> made;
    for (Beep k : {Beep::kInformation, Beep::kWarning, Beep::kError, Beep::kQuestion}) {
      const Tone t = ToneOf(k);
      made[k] = std::make_shared<const std::string>(ToneWave(t.hz, t.ms, t.repeats));
    }
    return made;
  }();
  const bool ok = PlayWave("", tones.at(kind)) != 0;
  trace_.Line("sound.beep", {std::to_string(static_cast<int>(kind))});
  return ok;
}

void LinuxSoundPlayer::ReadFileAsync(const std::string& path, size_t maxBytes,
                                     std::function<void(bool ok, std::string bytes)> done) {
  const uint64_t id = nextRead_++;
  waiting_[id] = std::move(done);
  auto deliver = [this, id](bool ok, std::string bytes) {
    auto it = waiting_.find(id);
    if (it == waiting_.end()) return;
    auto call = std::move(it->second);
    waiting_.erase(it);
    call(ok, std::move(bytes));
  };
  {
    std::lock_guard<std::mutex> lock(mail_->mutex);
    if (mail_->underWay >= kMaxReads) {
      QMetaObject::invokeMethod(
          context_.get(), [deliver] { deliver(false, {}); }, Qt::QueuedConnection);
      return;
    }
    ++mail_->underWay;
  }
  std::thread([mail = mail_, path, maxBytes, deliver] {
    bool ok = false;
    std::string bytes;
    // Only a file on a disk: a FIFO or a device may never answer. O_NONBLOCK keeps the opening
    // of a FIFO put there meanwhile from waiting for a writer.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st = {};
    if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      ok = true;
      bytes.resize(std::min<size_t>(maxBytes, static_cast<size_t>(st.st_size)));
      size_t got = 0;
      while (got < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
      }
      bytes.resize(got);
    }
    if (fd >= 0) close(fd);
    std::lock_guard<std::mutex> lock(mail->mutex);
    --mail->underWay;
    if (mail->context)
      QMetaObject::invokeMethod(
          mail->context,
          [deliver, ok, bytes = std::move(bytes)]() mutable { deliver(ok, std::move(bytes)); },
          Qt::QueuedConnection);
  }).detach();
}

}  // namespace unw
