#include "probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace e2e {

namespace {

constexpr int kPollMs = 25;
constexpr UINT kSendTimeoutMs = 2000;

struct ChildSearch {
  std::string name;
  HWND found = nullptr;
};

BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<ChildSearch*>(lp);
  if (NameOf(hwnd) == search->name) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChildrenProc(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

UINT InvokeMessage() {
  static const UINT message = RegisterWindowMessageA("UnwindleInvoke");
  return message;
}

std::string Unescape(const std::string& field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    switch (field[++i]) {
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case '0':
        out += '\0';
        break;
      default:
        out += field[i];
    }
  }
  return out;
}

}  // namespace

int64_t NowMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart * 1000 / freq.QuadPart;
}

bool WaitFor(int timeout_ms, const std::function<bool()>& cond) {
  const int64_t deadline = NowMs() + timeout_ms;
  for (;;) {
    if (cond()) return true;
    if (NowMs() >= deadline) return false;
    Sleep(kPollMs);
  }
}

bool HoldsFor(int duration_ms, const std::function<bool()>& cond) {
  const int64_t end = NowMs() + duration_ms;
  for (;;) {
    if (!cond()) return false;
    if (NowMs() >= end) return true;
    Sleep(kPollMs);
  }
}

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string NameOf(HWND hwnd) {
  auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "UnwindleName")));
  if (atom == 0) return {};
  char buf[256];
  UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
  return std::string(buf, n);
}

std::string TextOf(HWND hwnd) {
  char buf[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return {};
  }
  return std::string(buf, std::min<size_t>(copied, sizeof buf - 1));
}

std::string ClassOf(HWND hwnd) {
  char buf[256];
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  std::vector<HWND> out;
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, nullptr, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) out.push_back(h);
  }
  return out;
}

HWND FindForm(DWORD pid, const std::string& name) {
  for (HWND h : TopLevelWindows(pid)) {
    if (NameOf(h) == name) return h;
  }
  return nullptr;
}

HWND FindFormAnyProcess(const std::string& name) {
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, nullptr, nullptr)) != nullptr) {
    if (NameOf(h) == name) return h;
  }
  return nullptr;
}

HWND FindControl(HWND top, const std::string& name) {
  if (top == nullptr) return nullptr;
  ChildSearch search{name};
  EnumChildWindows(top, FindChildProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindMessageBox(DWORD pid) {
  HWND h = nullptr;
  while ((h = FindWindowExA(nullptr, h, "#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

std::string MessageBoxText(HWND box) {
  std::vector<HWND> children;
  EnumChildWindows(box, CollectChildrenProc, reinterpret_cast<LPARAM>(&children));
  std::string best;
  for (HWND c : children) {
    if (_stricmp(ClassOf(c).c_str(), "Static") != 0) continue;
    std::string t = TextOf(c);
    if (t.size() > best.size()) best = t;
  }
  return best;
}

bool WaitPainted(HWND top, int timeout_ms) {
  const bool painted = WaitFor(timeout_ms, [&] {
    if (GetUpdateRect(top, nullptr, FALSE)) return false;
    std::vector<HWND> children;
    EnumChildWindows(top, CollectChildrenProc, reinterpret_cast<LPARAM>(&children));
    for (HWND c : children) {
      if (GetUpdateRect(c, nullptr, FALSE)) return false;
    }
    return true;
  });
  DWORD_PTR result = 0;
  return painted &&
         SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
}

bool ClickButton(HWND button, int timeout_ms) {
  DWORD_PTR result = 0;
  return button != nullptr &&
         SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, timeout_ms, &result) != 0;
}

bool SetText(HWND hwnd, const std::string& text) {
  DWORD_PTR result = 0;
  return hwnd != nullptr &&
         SendMessageTimeoutA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0 &&
         result != 0;
}

bool PostKey(HWND top, WORD vk) {
  if (top == nullptr) return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = top;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && info.hwndFocus)
    target = info.hwndFocus;
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  return PostMessageA(target, WM_KEYDOWN, vk, down) && PostMessageA(target, WM_KEYUP, vk, up);
}

HWND WineTrayWindow() {
  return FindWindowA(nullptr, "Wine System Tray");
}

bool WineTrayIconRect(RECT* rect) {
  HWND tray = WineTrayWindow();
  if (tray == nullptr) return false;
  std::vector<HWND> children;
  EnumChildWindows(tray, CollectChildrenProc, reinterpret_cast<LPARAM>(&children));
  for (HWND c : children) {
    if (IsWindowVisible(c) && GetWindowRect(c, rect) && rect->right > rect->left) return true;
  }
  return false;
}

bool Invoke(HWND form, const std::string& control, int timeout_ms) {
  if (form == nullptr) return false;
  ATOM atom = GlobalAddAtomA(control.c_str());
  DWORD_PTR result = 0;
  LRESULT sent =
      SendMessageTimeoutA(form, InvokeMessage(), atom, 0, SMTO_ABORTIFHUNG, timeout_ms, &result);
  GlobalDeleteAtom(atom);
  return sent != 0 && result == 1;
}

bool InvokePost(HWND form, const std::string& control) {
  if (form == nullptr) return false;
  // The atom must outlive the posted message, so it stays in the table until the driver ends.
  ATOM atom = GlobalAddAtomA(control.c_str());
  return PostMessageA(form, InvokeMessage(), atom, 0) != 0;
}

std::string DisplayedTime(HWND frm_timer) {
  std::string out;
  for (const char* name : {"lblHours", "lblMinutes", "lblSeconds"}) {
    if (!out.empty()) out += ':';
    HWND label = FindControl(frm_timer, name);
    out += label ? TextOf(label) : std::string("?");
  }
  return out;
}

int SecondsOf(const std::string& hhmmss) {
  int h = 0, m = 0, s = 0;
  char tail = 0;
  if (std::sscanf(hhmmss.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) != 3) return -1;
  return h * 3600 + m * 60 + s;
}

RegValue ReadValue(const std::string& key, const std::string& name) {
  RegValue out;
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) {
    return out;
  }
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    std::string data(size, '\0');
    if (RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      data.resize(size);
      out.present = true;
      out.type = type;
      out.size = size;
      out.text = data.substr(0, data.find('\0'));
    }
  }
  RegCloseKey(h);
  return out;
}

bool WriteText(const std::string& key, const std::string& name, const std::string& text) {
  HKEY h = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // The text is UTF-8, and the program reads what it finds as such: store the real characters.
  const std::wstring wide = Wide(text);
  LONG rc =
      RegSetValueExW(h, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                     static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

std::wstring Wide(const std::string& utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

bool DeleteValue(const std::string& key, const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) {
    return true;  // no key, no value
  }
  LONG rc = RegDeleteValueA(h, name.c_str());
  RegCloseKey(h);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool DeleteKeyTree(const std::string& key) {
  LONG rc = RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  if (rc == ERROR_SUCCESS) rc = RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::vector<TraceLine> ReadTrace(const std::string& path) {
  std::vector<TraceLine> out;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  std::string data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
  CloseHandle(f);

  size_t pos = 0;
  while (pos < data.size()) {
    size_t end = data.find('\n', pos);
    if (end == std::string::npos) break;  // a line still being written
    std::string raw = data.substr(pos, end - pos);
    pos = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    TraceLine line;
    line.raw = raw;
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
      size_t tab = raw.find('\t', start);
      parts.push_back(
          raw.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (parts.size() < 2) continue;
    line.ms = std::atoll(parts[0].c_str());
    line.event = parts[1];
    for (size_t i = 2; i < parts.size(); ++i) line.fields.push_back(Unescape(parts[i]));
    out.push_back(std::move(line));
  }
  return out;
}

std::vector<TraceLine> Matching(const std::vector<TraceLine>& lines, const std::string& event,
                                const std::vector<std::string>& fields) {
  std::vector<TraceLine> out;
  for (const auto& l : lines) {
    if (l.event != event || l.fields.size() < fields.size()) continue;
    if (std::equal(fields.begin(), fields.end(), l.fields.begin())) out.push_back(l);
  }
  return out;
}

namespace {

uint32_t U32(const std::string& d, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, d.data() + at, 4);
  return v;
}

uint16_t U16(const std::string& d, size_t at) {
  uint16_t v = 0;
  std::memcpy(&v, d.data() + at, 2);
  return v;
}

// One sample as a fraction of full scale.
double Sample(const unsigned char* p, int format, int bits) {
  if (format == 3 && bits == 32) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
  }
  const auto b = [p](int i) { return static_cast<uint32_t>(p[i]); };
  switch (bits) {
    case 8:
      return (static_cast<int>(b(0)) - 128) / 128.0;
    case 16:
      return static_cast<int16_t>(b(0) | b(1) << 8) / 32768.0;
    case 24:
      return static_cast<int32_t>(b(0) << 8 | b(1) << 16 | b(2) << 24) / 2147483648.0;
    case 32:
      return static_cast<int32_t>(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24) / 2147483648.0;
  }
  return 0;
}

}  // namespace

WavSummary ReadWav(const std::string& path) {
  WavSummary out;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return out;
  out.exists = true;
  std::string d;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) d.append(buf, got);
  CloseHandle(f);
  if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0) {
    out.error = "no RIFF/WAVE header (" + std::to_string(d.size()) + " bytes)";
    return out;
  }
  out.complete = U32(d, 4) == d.size() - 8;
  size_t data_at = 0, data_size = 0;
  for (size_t at = 12; at + 8 <= d.size();) {
    const std::string id = d.substr(at, 4);
    const size_t size = U32(d, at + 4);
    if (id == "fmt " && at + 8 + 16 <= d.size()) {
      out.format = U16(d, at + 8);
      out.channels = U16(d, at + 10);
      out.rate = static_cast<int>(U32(d, at + 12));
      out.bits = U16(d, at + 22);
      // WAVE_FORMAT_EXTENSIBLE names the real format in the first two bytes of its GUID.
      if (out.format == 0xFFFE && size >= 40 && at + 8 + 26 <= d.size()) {
        out.format = U16(d, at + 8 + 24);
      }
    } else if (id == "data") {
      data_at = at + 8;
      data_size = std::min(size, d.size() - data_at);
      break;
    }
    at += 8 + size + (size & 1);
  }
  out.complete = out.complete && data_size > 0;
  if (!out.complete) return out;
  const int bytes = out.bits / 8;
  if ((out.format != 1 && out.format != 3) || bytes < 1 || bytes > 4 || out.channels < 1 ||
      out.rate < 1) {
    out.error = "format " + std::to_string(out.format) + ", " + std::to_string(out.bits) +
                " bits, " + std::to_string(out.channels) + " channels: not read here";
    return out;
  }
  const size_t frame = static_cast<size_t>(bytes) * out.channels;
  const size_t frames = data_size / frame;
  out.seconds = static_cast<double>(frames) / out.rate;
  constexpr double kAudible = 0.02;
  double sum = 0;
  size_t first = frames, last = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(d.data() + data_at);
  for (size_t i = 0; i < frames; ++i) {
    double loudest = 0;
    for (int c = 0; c < out.channels; ++c) {
      const double v = Sample(p + i * frame + static_cast<size_t>(c) * bytes, out.format, out.bits);
      sum += v * v;
      loudest = std::max(loudest, std::fabs(v));
    }
    out.peak = std::max(out.peak, loudest);
    if (loudest > kAudible) {
      first = std::min(first, i);
      last = i;
    }
  }
  if (frames > 0) out.rms = std::sqrt(sum / (static_cast<double>(frames) * out.channels));
  if (first < frames) out.sound_seconds = static_cast<double>(last - first + 1) / out.rate;
  return out;
}

Process::~Process() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

bool Process::Start(const std::string& exe, const std::string& trace_path, std::string* error) {
  if (!trace_path.empty()) {
    SetEnvironmentVariableA("UNWINDLE_TRACE", trace_path.c_str());
  } else {
    SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
  }
  std::string dir = exe.substr(0, exe.find_last_of("\\/"));
  std::string cmdline = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  BOOL ok = CreateProcessA(exe.c_str(), cmdline.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           dir.empty() ? nullptr : dir.c_str(), &si, &pi);
  SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
  if (!ok) {
    if (error)
      *error = "CreateProcessA(" + exe + ") failed, error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool Process::Attach(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (h == nullptr) return false;
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = h;
  pid_ = pid;
  return true;
}

bool Process::Running() const {
  return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(int timeout_ms, DWORD* exit_code) {
  if (handle_ == nullptr) return false;
  if (WaitForSingleObject(handle_, timeout_ms) != WAIT_OBJECT_0) return false;
  if (exit_code) GetExitCodeProcess(handle_, exit_code);
  return true;
}

void Process::Kill() {
  if (Running()) {
    TerminateProcess(handle_, 99);
    WaitForSingleObject(handle_, 5000);
  }
}

}  // namespace e2e
