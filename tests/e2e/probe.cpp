#include "probe.h"

#include <algorithm>
#include <cstdio>

namespace e2e {

namespace {

constexpr UINT kSendTimeoutMs = 2000;

bool Poll(int ms, const std::function<bool()>& cond, bool until) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (cond() == until) return until;
    if (GetTickCount64() >= end) return !until;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
}

std::string NameOf(HWND hwnd) {
  auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "UnwindleName")));
  char buf[256];
  return std::string(buf, atom ? GlobalGetAtomNameA(atom, buf, sizeof buf) : 0);
}

std::string Unescape(const std::string& f) {
  std::string out;
  for (size_t i = 0; i < f.size(); ++i) {
    const char c = f[i] == '\\' && i + 1 < f.size() ? f[++i] : 0;
    out += !c ? f[i] : c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c == '0' ? '\0' : c;
  }
  return out;
}

}  // namespace

bool WaitFor(int timeout_ms, const std::function<bool()>& cond) {
  return Poll(timeout_ms, cond, true);
}

bool HoldsFor(int duration_ms, const std::function<bool()>& cond) {
  return Poll(duration_ms, cond, false);
}

std::string ToWindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::wstring Wide(const std::string& utf8) {
  std::wstring w(utf8.size(), L'\0');
  w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(),
                               static_cast<int>(w.size())));
  return w;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "\"";
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::string ReadAll(const std::string& path) {
  std::string data;
  HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
  CloseHandle(f);
  return data;
}

std::string TextOf(HWND hwnd) {
  char buf[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  return std::string(buf, std::min<size_t>(copied, sizeof buf - 1));
}

std::string ClassOf(HWND hwnd) {
  char buf[256];
  return std::string(buf, std::max(GetClassNameA(hwnd, buf, sizeof buf), 0));
}

std::vector<HWND> Children(HWND hwnd) {
  std::vector<HWND> out;
  EnumChildWindows(
      hwnd,
      [](HWND h, LPARAM lp) {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&out));
  return out;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
  std::vector<HWND> out;
  for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, nullptr, nullptr)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (pid == 0 || owner == pid) out.push_back(h);
  }
  return out;
}

HWND FindForm(DWORD pid, const std::string& name) {
  for (HWND h : TopLevelWindows(pid))
    if (NameOf(h) == name) return h;
  return nullptr;
}

HWND FindControl(HWND top, const std::string& name) {
  for (HWND h : top ? Children(top) : std::vector<HWND>{})
    if (NameOf(h) == name) return h;
  return nullptr;
}

HWND FindMessageBox(DWORD pid) {
  for (HWND h : TopLevelWindows(pid))
    if (ClassOf(h) == "#32770" && IsWindowVisible(h)) return h;
  return nullptr;
}

std::string MessageBoxText(HWND box) {
  std::string best;
  for (HWND c : Children(box)) {
    const std::string t = _stricmp(ClassOf(c).c_str(), "Static") == 0 ? TextOf(c) : "";
    if (t.size() > best.size()) best = t;
  }
  return best;
}

bool ClickButton(HWND button, int timeout_ms) {
  DWORD_PTR result = 0;
  return button != nullptr &&
         SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, timeout_ms, &result) != 0;
}

bool Invoke(HWND form, const std::string& control, bool wait) {
  static const UINT message = RegisterWindowMessageA("UnwindleInvoke");
  if (form == nullptr) return false;
  // A posted press needs its atom until the program reads it: it stays until the driver ends.
  const ATOM atom = GlobalAddAtomA(control.c_str());
  if (!wait) return PostMessageA(form, message, atom, 0) != 0;
  DWORD_PTR result = 0;
  const bool sent =
      SendMessageTimeoutA(form, message, atom, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
  GlobalDeleteAtom(atom);
  return sent && result == 1;
}

std::vector<RECT> TrayIcons() {
  std::vector<RECT> out;
  HWND tray = FindWindowA(nullptr, "Wine System Tray");
  for (HWND c : tray ? Children(tray) : std::vector<HWND>{}) {
    RECT r{};
    if (IsWindowVisible(c) && GetWindowRect(c, &r) && r.right > r.left) out.push_back(r);
  }
  return out;
}

std::string DisplayedTime(HWND frm_timer) {
  std::string out;
  for (const char* name : {"lblHours", "lblMinutes", "lblSeconds"}) {
    HWND label = FindControl(frm_timer, name);
    out += (out.empty() ? "" : ":") + (label ? TextOf(label) : std::string("?"));
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
  RegValue v;
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
    return v;
  DWORD size = 0;
  if (RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.data.resize(size);
    v.present = RegQueryValueExA(h, name.c_str(), nullptr, &v.type,
                                 reinterpret_cast<BYTE*>(v.data.data()), &size) == ERROR_SUCCESS;
    v.data.resize(v.present ? size : 0);
    v.text = v.data.substr(0, v.data.find('\0'));
  }
  RegCloseKey(h);
  return v;
}

int ValueCount(const std::string& key) {
  HKEY h = nullptr;
  DWORD values = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
    return -1;
  RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(h);
  return static_cast<int>(values);
}

bool WriteText(const std::string& key, const std::string& name, const std::string& text) {
  // The program reads the settings as UTF-8 text: store the real characters.
  const std::wstring wide = Wide(text);
  return RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(), REG_SZ,
                         wide.c_str(),
                         static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void DeleteValue(const std::string& key, const std::string& name) {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

void DeleteKeyTree(const std::string& key) {
  if (RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()) == ERROR_SUCCESS)
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

std::vector<TraceLine> ReadTrace(const std::string& path) {
  std::vector<TraceLine> out;
  const std::string data = ReadAll(path);
  // A last line without its line end is still being written.
  for (size_t pos = 0, end; (end = data.find('\n', pos)) != std::string::npos; pos = end + 1) {
    std::string raw = data.substr(pos, end - pos);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::vector<std::string> parts;
    for (size_t start = 0, tab = 0; tab != std::string::npos; start = tab + 1) {
      tab = raw.find('\t', start);
      parts.push_back(raw.substr(start, tab == std::string::npos ? tab : tab - start));
    }
    if (parts.size() < 2) continue;
    TraceLine line{std::atoll(parts[0].c_str()), parts[1], {}};
    for (size_t i = 2; i < parts.size(); ++i) line.fields.push_back(Unescape(parts[i]));
    out.push_back(std::move(line));
  }
  return out;
}

std::vector<TraceLine> Matching(const std::vector<TraceLine>& lines, const std::string& event,
                                const std::vector<std::string>& fields) {
  std::vector<TraceLine> out;
  for (const auto& l : lines) {
    if (l.event == event && l.fields.size() >= fields.size() &&
        std::equal(fields.begin(), fields.end(), l.fields.begin()))
      out.push_back(l);
  }
  return out;
}

Process::~Process() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

bool Process::Start(const std::string& command, const std::string& trace, std::string* error) {
  SetEnvironmentVariableA("UNWINDLE_TRACE", trace.empty() ? nullptr : trace.c_str());
  // In the program's own folder, as the Start menu starts it.
  const std::string program = command.substr(1, command.find('"', 1) - 1);
  const std::string dir = program.substr(0, program.find_last_of('\\'));
  std::string line = command;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 dir.c_str(), &si, &pi);
  SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
  if (!ok) {
    *error = "cannot start " + command + ", error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  if (handle_ != nullptr) CloseHandle(handle_);
  handle_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

bool Process::Attach(HWND hwnd) {
  GetWindowThreadProcessId(hwnd, &pid_);
  handle_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid_);
  return handle_ != nullptr;
}

bool Process::Running() const {
  return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(int timeout_ms, DWORD* exit_code) {
  if (handle_ == nullptr || WaitForSingleObject(handle_, timeout_ms) != WAIT_OBJECT_0) return false;
  if (exit_code) GetExitCodeProcess(handle_, exit_code);
  return true;
}

void Process::Kill() {
  if (Running()) TerminateProcess(handle_, 99);
  if (handle_) WaitForSingleObject(handle_, 5000);
}

}  // namespace e2e
