#include "backends/win32/sound_win32.h"

#include <mmsystem.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "backends/win32/pool_work.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/window_life.h"

namespace unw {

namespace {

constexpr wchar_t kWindowClass[] = L"Unwindle.SoundReads";
constexpr UINT kReadsEnded = WM_APP + 1;
constexpr DWORD kChunk = 64 * 1024;

// Every sound plays once, asynchronously, and never falls back to the system's default sound.
constexpr DWORD kOnce = SND_NOWAIT | SND_NODEFAULT | SND_ASYNC;

UINT BeepType(Beep kind) {
  switch (kind) {
    case Beep::kInformation:
      return MB_ICONASTERISK;
    case Beep::kWarning:
      return MB_ICONEXCLAMATION;
    case Beep::kError:
      return MB_ICONHAND;
    case Beep::kQuestion:
      return MB_ICONQUESTION;
  }
  return MB_OK;
}

struct Ended {
  uint64_t id;
  bool ok;
  std::string bytes;
};

// Opens and reads the file, on the reading thread: a file on a disk only (a pipe or a device
// that slipped through is not read: its read may never end), up to `maxBytes`.
Ended ReadFileNow(uint64_t id, const std::wstring& path, size_t maxBytes) {
  Ended e{id, false, {}};
  HANDLE opened = CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return e;
  win32::ScopedHandle file(opened);
  if (GetFileType(file.get()) != FILE_TYPE_DISK) return e;
  while (e.bytes.size() < maxBytes) {
    const size_t at = e.bytes.size();
    const DWORD want = static_cast<DWORD>(std::min<size_t>(kChunk, maxBytes - at));
    e.bytes.resize(at + want);
    DWORD got = 0;
    if (!ReadFile(file.get(), e.bytes.data() + at, want, &got, nullptr)) {
      e.bytes.clear();
      return e;
    }
    e.bytes.resize(at + got);
    if (got == 0) break;
  }
  e.ok = true;
  return e;
}

}  // namespace

// What the reading threads and the player share: the reads that ended, and the window to tell
// (none once the player is gone; a thread that ends later drops its bytes).
struct Win32SoundPlayer::Mailbox {
  std::mutex mutex;
  HWND window = nullptr;
  std::vector<Ended> ended;
  int underWay = 0;

  void Post(Ended e) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!window) return;
    ended.push_back(std::move(e));
    PostMessageW(window, kReadsEnded, 0, 0);
  }
};

Win32SoundPlayer::Win32SoundPlayer(Trace& trace, EventLoop& loop)
    : trace_(trace), loop_(loop), mail_(std::make_shared<Mailbox>()) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.lpszClassName = kWindowClass;
  RegisterClassExW(&wc);
  // Message-only: it receives the posts but is never shown nor enumerated.
  {
    win32::CreatingWindow creating(this);
    hwnd_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, this);
  }
  std::lock_guard<std::mutex> lock(mail_->mutex);
  mail_->window = hwnd_;
}

Win32SoundPlayer::~Win32SoundPlayer() {
  {
    std::lock_guard<std::mutex> lock(mail_->mutex);
    mail_->window = nullptr;
  }
  if (hwnd_) win32::DestroyOwnWindow(hwnd_);
  // The system must not read a wave in memory after it is freed.
  if (playing_) PlaySoundW(nullptr, nullptr, 0);
}

LRESULT CALLBACK Win32SoundPlayer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    void* created = win32::CreatedObject(hwnd, lParam);
    if (!created) return FALSE;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (win32::ForgedLifeMessage(msg)) return 0;
  auto* self = reinterpret_cast<Win32SoundPlayer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == kReadsEnded && self) {
    self->Deliver();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int Win32SoundPlayer::readsUnderWay() const {
  std::lock_guard<std::mutex> lock(mail_->mutex);
  return mail_->underWay;
}

void Win32SoundPlayer::ReadFileAsync(const std::string& path, size_t maxBytes,
                                     std::function<void(bool ok, std::string bytes)> done) {
  const uint64_t id = nextRead_++;
  waiting_[id] = std::move(done);
  {
    std::lock_guard<std::mutex> lock(mail_->mutex);
    if (mail_->underWay >= kMaxReads || path.empty()) {
      // Fails, but later: the caller hears of it from the loop all the same.
      mail_->ended.push_back({id, false, {}});
      PostMessageW(mail_->window, kReadsEnded, 0, 0);
      return;
    }
    ++mail_->underWay;
  }
  const bool queued = win32::RunOnPool([mail = mail_, id, wide = win32::Wide(path), maxBytes] {
    Ended e = ReadFileNow(id, wide, maxBytes);
    {
      std::lock_guard<std::mutex> lock(mail->mutex);
      --mail->underWay;
    }
    mail->Post(std::move(e));
  });
  if (!queued) {
    {
      std::lock_guard<std::mutex> lock(mail_->mutex);
      --mail_->underWay;
    }
    mail_->Post({id, false, {}});
  }
}

void Win32SoundPlayer::Deliver() {
  std::vector<Ended> ended;
  {
    std::lock_guard<std::mutex> lock(mail_->mutex);
    ended.swap(mail_->ended);
  }
  for (Ended& e : ended) {
    auto it = waiting_.find(e.id);
    if (it == waiting_.end()) continue;
    auto done = std::move(it->second);
    waiting_.erase(it);
    // It may start another read, or end the program's sounds.
    done(e.ok, std::move(e.bytes));
  }
}

std::string Win32SoundPlayer::ClipBytes(const std::string& id) {
  // The built-in clips are "WAVE" resources of the executable itself; a loaded resource stays
  // mapped as long as the module, so its bytes are copied out as they are.
  const HMODULE module = GetModuleHandleW(nullptr);
  const std::wstring name = win32::Wide(id);
  HRSRC found = id.empty() ? nullptr : FindResourceW(module, name.c_str(), L"WAVE");
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = bytes ? SizeofResource(module, found) : 0;
  if (!size) trace_.Line("sound.play", {id, "0", "0"});  // it plays as a wave when it is there
  return size ? std::string(static_cast<const char*>(bytes), size) : std::string();
}

void Win32SoundPlayer::Stop() {
  const BOOL ok = PlaySoundW(nullptr, nullptr, 0);
  playing_.reset();
  trace_.Line("sound.play", {"", "0", ok ? "1" : "0"});
}

long Win32SoundPlayer::PlayWave(const std::string& name, std::shared_ptr<const std::string> wave) {
  const DWORD flags = SND_MEMORY | kOnce;
  const BOOL ok =
      wave && !wave->empty() && PlaySoundW(reinterpret_cast<LPCWSTR>(wave->data()), nullptr, flags);
  // The system reads the wave while it plays; the one before is stopped now. A call that failed
  // may not have stopped it: that one stays.
  if (ok) playing_ = std::move(wave);
  const long result = ok ? 1 : 0;
  trace_.Line("sound.play", {name, std::to_string(flags), std::to_string(result)});
  return result;
}

bool Win32SoundPlayer::PlayBeep(Beep kind) {
  const UINT type = BeepType(kind);
  const bool ok = ::MessageBeep(type) != FALSE;
  trace_.Line("sound.beep", {std::to_string(type)});
  return ok;
}

}  // namespace unw
