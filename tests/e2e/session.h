// The end-to-end driver works on the real unwindle.exe from the outside, under Wine: its windows
// and controls by their UnwindleName, the registry and the diagnostic trace. A group of checks is a
// table of steps, each doing something (or nothing), then waiting until what it expects holds.
#pragma once

#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

inline constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kCaption = "KORVANTE Unwindle";

// Until `cond` holds (`until`), or whether it holds all along: polled every 25 ms, the last time at
// or after the end (what holds just then counts), while the driver's own windows get messages.
inline bool Poll(int ms, const std::function<bool()>& cond, bool until) {
  for (const ULONGLONG end = GetTickCount64() + ms;;) {
    if (cond() == until) return until;
    if (GetTickCount64() >= end) return !until;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
}

inline bool WaitFor(int timeout_ms, const std::function<bool()>& cond) {
  return Poll(timeout_ms, cond, true);
}

inline std::wstring Wide(const std::string& utf8) {
  std::wstring w(utf8.size(), L'\0');
  w.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(),
                               static_cast<int>(w.size())));
  return w;
}

inline std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "\"";
}

inline std::string Expected(std::string what, std::string seen, std::string want) {
  return what + " " + seen + " (expected " + want + ")";
}

// Windows paths compare so (ASCII is enough for ours).
inline std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

inline std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

// Even while another program writes it.
inline std::string ReadAll(const std::string& path) {
  std::string data;
  FILE* f = _wfopen(Wide(path).c_str(), L"rb");
  char buf[65536];
  for (size_t got; f && (got = std::fread(buf, 1, sizeof buf, f)) > 0;) data.append(buf, got);
  if (f) std::fclose(f);
  return data;
}

inline std::string Resource(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC res = FindResourceA(module, name, type);
  HGLOBAL loaded = res ? LoadResource(module, res) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(module, res)) : "";
}

// WM_GETTEXT, with a timeout: a hung program cannot hang the driver. In UTF-8, whatever the
// system's code page (the checks compare texts of every language).
inline std::string TextOf(HWND hwnd) {
  wchar_t buf[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                           2000, &copied))
    return {};
  const int n = static_cast<int>(std::min<DWORD_PTR>(copied, 1023));
  std::string out(
      static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, buf, n, nullptr, 0, nullptr, nullptr)),
      '\0');
  WideCharToMultiByte(CP_UTF8, 0, buf, n, out.data(), static_cast<int>(out.size()), nullptr,
                      nullptr);
  return out;
}

inline std::string ClassOf(HWND hwnd) {
  char buf[256];
  return std::string(buf, std::max(GetClassNameA(hwnd, buf, sizeof buf), 0));
}

inline std::string NameOf(HWND hwnd) {
  auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "UnwindleName")));
  char buf[256];
  return std::string(buf, atom ? GlobalGetAtomNameA(atom, buf, sizeof buf) : 0);
}

// A window's descendants, or (no `parent`) the top-level windows of a process (0: of all).
inline std::vector<HWND> Windows(DWORD pid, HWND parent = nullptr) {
  std::vector<HWND> all, out;
  auto add = [](HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
  };
  parent ? EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&all))
         : EnumWindows(add, reinterpret_cast<LPARAM>(&all));
  for (HWND h : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (pid == 0 || owner == pid) out.push_back(h);
  }
  return out;
}

// By UnwindleName: a top-level window of the process (of any when `pid` is 0); a descendant.
inline HWND FindForm(DWORD pid, const std::string& name) {
  for (HWND h : Windows(pid))
    if (NameOf(h) == name) return h;
  return nullptr;
}

inline HWND FindControl(HWND top, const std::string& name) {
  for (HWND h : top ? Windows(0, top) : std::vector<HWND>{})
    if (NameOf(h) == name) return h;
  return nullptr;
}

inline HWND FindMessageBox(DWORD pid) {
  for (HWND h : Windows(pid))
    if (ClassOf(h) == "#32770" && IsWindowVisible(h)) return h;
  return nullptr;
}

// Its longest static text.
inline std::string MessageBoxText(HWND box) {
  std::string best;
  for (HWND c : Windows(0, box)) {
    const std::string t = _stricmp(ClassOf(c).c_str(), "Static") == 0 ? TextOf(c) : "";
    if (t.size() > best.size()) best = t;
  }
  return best;
}

inline bool ClickButton(HWND button, int timeout_ms = 3000) {
  DWORD_PTR result = 0;
  return button != nullptr &&
         SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, timeout_ms, &result) != 0;
}

// Presses a named control or menu item ("UnwindleInvoke"): sent, true once pressed; or posted, for
// one that opens a modal box. The program presses only what a person could (a window on the screen
// that takes input; the tray menu's items whenever the main window takes input), else answers 0.
inline bool Invoke(HWND form, const std::string& control, bool wait = true) {
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

inline std::vector<RECT> TrayIcons() {
  std::vector<RECT> out;
  HWND tray = FindWindowA(nullptr, "Wine System Tray");
  for (HWND c : tray ? Windows(0, tray) : std::vector<HWND>{}) {
    RECT r{};
    if (IsWindowVisible(c) && GetWindowRect(c, &r) && r.right > r.left) out.push_back(r);
  }
  return out;
}

// "HH:MM:SS" from the main window's labels ("?" for a missing one).
inline std::string DisplayedTime(HWND frm_timer) {
  std::string out;
  for (const char* name : {"lblHours", "lblMinutes", "lblSeconds"}) {
    HWND label = FindControl(frm_timer, name);
    out += (out.empty() ? "" : ":") + (label ? TextOf(label) : std::string("?"));
  }
  return out;
}

inline int SecondsOf(const std::string& hhmmss) {  // -1 when it does not parse
  int h = 0, m = 0, s = 0;
  char tail = 0;
  if (std::sscanf(hhmmss.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) != 3) return -1;
  return h * 3600 + m * 60 + s;
}

struct RegValue {  // under HKEY_CURRENT_USER
  bool present = false;
  DWORD type = 0;
  std::string data, text;  // as stored; up to the first NUL
};

inline RegValue ReadValue(const std::string& key, const std::string& name) {
  RegValue v;
  HKEY h = nullptr;
  DWORD size = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h)) return v;
  if (!RegQueryValueExA(h, name.c_str(), nullptr, &v.type, nullptr, &size)) {
    v.data.resize(size);
    v.present = !RegQueryValueExA(h, name.c_str(), nullptr, &v.type,
                                  reinterpret_cast<BYTE*>(v.data.data()), &size);
    v.data.resize(v.present ? size : 0);
  }
  v.text = v.data.substr(0, v.data.find('\0'));
  RegCloseKey(h);
  return v;
}

inline int ValueCount(const std::string& key) {  // -1: no such key
  HKEY h = nullptr;
  DWORD n = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h)) return -1;
  RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &n, 0, 0, 0, 0);
  RegCloseKey(h);
  return static_cast<int>(n);
}

inline bool WriteText(const std::string& key, const std::string& name, const std::string& text) {
  // The program reads its settings as UTF-8: store the real characters.
  const std::wstring wide = Wide(text);
  return RegSetKeyValueW(HKEY_CURRENT_USER, Wide(key).c_str(), Wide(name).c_str(), REG_SZ,
                         wide.c_str(),
                         static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// No settings and no startup entry, as on an account that never ran the program.
inline void Clean() {
  if (RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey) == ERROR_SUCCESS)
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Unwindle");
}

struct TraceLine {
  int64_t ms = 0;
  std::string event;
  std::vector<std::string> fields;  // unescaped
};

// The lines written in full so far.
inline std::vector<TraceLine> ReadTrace(const std::string& path) {
  static const std::string kFrom = "trn0", kTo("\t\r\n\0", 4);
  std::vector<TraceLine> out;
  const std::string data = ReadAll(path);
  for (size_t pos = 0, end; (end = data.find('\n', pos)) != std::string::npos; pos = end + 1) {
    const size_t stop = end > pos && data[end - 1] == '\r' ? end - 1 : end;
    std::vector<std::string> parts(1);
    for (size_t i = pos; i < stop; ++i) {
      const char c = data[i] == '\\' && i + 1 < stop ? data[++i] : 0;  // escaped
      const size_t k = c ? kFrom.find(c) : std::string::npos;
      if (!c && data[i] == '\t')
        parts.emplace_back();
      else
        parts.back() += k != std::string::npos ? kTo[k] : c ? c : data[i];
    }
    if (parts.size() >= 2)
      out.push_back({std::atoll(parts[0].c_str()), parts[1], {parts.begin() + 2, parts.end()}});
  }
  return out;
}

// Lines of that event whose first fields are `fields`.
inline std::vector<TraceLine> Matching(const std::vector<TraceLine>& lines,
                                       const std::string& event,
                                       const std::vector<std::string>& fields = {}) {
  std::vector<TraceLine> out;
  for (const auto& l : lines) {
    if (l.event == event && l.fields.size() >= fields.size() &&
        std::equal(fields.begin(), fields.end(), l.fields.begin()))
      out.push_back(l);
  }
  return out;
}

class Process {
 public:
  // Runs `command` ("path" arguments) in the program's folder, tracing to `trace` if not empty.
  bool Start(const std::string& command, const std::string& trace, std::string* error) {
    SetEnvironmentVariableA("UNWINDLE_TRACE", trace.empty() ? nullptr : trace.c_str());
    const std::string program = command.substr(1, command.find('"', 1) - 1);
    std::string line = command;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   program.substr(0, program.rfind('\\')).c_str(), &si, &pi);
    SetEnvironmentVariableA("UNWINDLE_TRACE", nullptr);
    if (ok) CloseHandle(pi.hThread);
    *error = "cannot start " + command + ", error " + std::to_string(GetLastError());
    return ok && Attach(pi.hProcess, pi.dwProcessId);
  }
  bool Attach(HANDLE process, DWORD pid) {
    handle_.reset(process, CloseHandle);
    return (pid_ = pid) && process;
  }
  DWORD pid() const { return pid_; }
  bool Running() const { return WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT; }
  bool WaitExit(int timeout_ms, DWORD* exit_code = nullptr) {
    if (WaitForSingleObject(handle_.get(), timeout_ms) != WAIT_OBJECT_0) return false;
    return !exit_code || GetExitCodeProcess(handle_.get(), exit_code);
  }
  void Kill() {  // the last resort
    if (Running()) TerminateProcess(handle_.get(), 99);
    WaitForSingleObject(handle_.get(), 5000);
  }

 private:
  std::shared_ptr<void> handle_;
  DWORD pid_ = 0;
};

struct Options {
  std::string exe, setup, wav, only;
  std::string dir;  // for the traces, the screenshots and our requests to run.sh (Request)
};

struct Report {
  bool Check(const std::string& name, bool ok, const std::string& detail = {}) {
    ++(ok ? passed : failed);
    std::printf(ok ? "PASS %s\n" : "FAIL %s: %s\n", name.c_str(),
                detail.empty() ? "failed" : detail.c_str());
    std::fflush(stdout);
    return ok;
  }
  static void Note(const std::string& text) {
    std::printf("# %s\n", text.c_str());
    std::fflush(stdout);
  }
  int passed = 0, failed = 0;
};

// Asks run.sh for what only the X side can do ("shot X Y W H", "click X Y", "key NAME"); waits.
inline bool Request(const Options& options, const std::string& name, const std::string& line) {
  const std::string base = options.dir + "\\" + name, request = base + ".request";
  const std::string done = base + ".done";
  DeleteFileA(done.c_str());
  FILE* f = options.dir.empty() ? nullptr : std::fopen((base + ".partial").c_str(), "w");
  // Renamed into place, so that the watcher never reads half a line.
  if (!f || std::fprintf(f, "%s\n", line.c_str()) < 0 || std::fclose(f) ||
      !MoveFileExA((base + ".partial").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING))
    return false;
  const bool answered =
      WaitFor(10000, [&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
  if (!answered) Report::Note("nobody answered " + request + " (\"" + line + "\")");
  DeleteFileA(request.c_str());
  DeleteFileA(done.c_str());
  return answered;
}

// A screenshot, once nothing is left to paint and the program has been back in its message loop
// since (Wine puts what was painted on the screen before it waits for messages).
inline void Snap(const Options& options, HWND window, const std::string& name) {
  RECT r{};
  if (options.dir.empty() || window == nullptr || !GetWindowRect(window, &r)) return;
  const bool painted = WaitFor(2000, [&] {
    for (HWND h : Windows(0, window))
      if (GetUpdateRect(h, nullptr, FALSE)) return false;
    return !GetUpdateRect(window, nullptr, FALSE);
  });
  DWORD_PTR result = 0;
  if (!painted || !SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
    Report::Note(name + ": the window was still painting");
  char line[96];
  std::snprintf(line, sizeof line, "shot %ld %ld %ld %ld", r.left, r.top, r.right - r.left,
                r.bottom - r.top);
  Request(options, name, line);
}

using Planted = std::vector<std::pair<std::string, std::string>>;

// "Hours=0 Seconds=5" (no spaces in the values), then `more`.
inline Planted Settings(const std::string& spaced, Planted more = {}) {
  Planted out;
  for (size_t at = 0, end = 0; at < spaced.size(); at = end + 1) {
    end = std::min(spaced.find(' ', at), spaced.size());
    const size_t eq = spaced.find('=', at);
    out.emplace_back(spaced.substr(at, eq - at), spaced.substr(eq + 1, end - eq - 1));
  }
  out.insert(out.end(), more.begin(), more.end());
  return out;
}

// One run of the program (or several, one after the other), each from a clean settings key.
class Session {
 public:
  Session(const Options& o, std::string name) : options(o), label(name) {}
  ~Session() {  // the tray menu's Exit, Yes, if the program still runs
    if (own) DestroyWindow(own);
    if (!process.Running()) return;
    if (Invoke(main, "mPopExit", false) && WaitFor(5000, [&] { return Box() != nullptr; })) {
      ClickButton(GetDlgItem(Box(), IDYES), 1000);  // may not return cleanly: the program ends
      if (process.WaitExit(10000)) return;
    }
    Report::Note(label + ": no clean exit (the tray menu's Exit, Yes); terminating the process");
    process.Kill();
  }

  // Cleans, writes `planted`, starts `program` and waits for its main window, noting the splash
  // on the way. Empty when it came, else why not.
  // With `clean` false the settings stay as the last run left them.
  std::string Launch(const Planted& planted, const std::string& program, bool clean = true) {
    constexpr int kWindowMs = 25000;  // after the five-second splash, on a cold, busy Wine
    if (clean) Clean();
    for (const auto& [name, text] : planted) WriteText(kSettingsKey, name, text);
    exe = program;
    trace = options.dir.empty() ? "" : options.dir + "\\" + label + ".trace";
    DeleteFileA(trace.c_str());
    std::string why;
    const ULONGLONG t0 = GetTickCount64();
    if (!process.Start("\"" + exe + "\"", trace, &why)) return why;
    WaitFor(kWindowMs, [&] {
      main = FindForm(process.pid(), "frmTimer");
      const bool shown = main != nullptr && IsWindowVisible(main);
      if (HWND splash = Form("frmSplash")) {
        splash_with_main |= shown;
        if (splash_ms < 0) {
          splash_ms = static_cast<int64_t>(GetTickCount64() - t0);
          splash_product = TextOf(FindControl(splash, "lblProductName"));
          Snap(options, splash, "splash");
        }
      }
      return shown || !process.Running();
    });
    main_ms = static_cast<int64_t>(GetTickCount64() - t0);
    DWORD code = 0;
    if (process.WaitExit(0, &code))
      return "the program ended (exit code " + std::to_string(code) + ") before showing frmTimer";
    if (main == nullptr || !IsWindowVisible(main))
      return "no visible frmTimer after " + std::to_string(kWindowMs) + " ms";
    Report::Note(label + ": frmTimer visible " + std::to_string(main_ms) + " ms after the start");
    return "";
  }
  // frmTimer (even hidden), or a visible top-level window of the program.
  HWND Form(const std::string& name) const {
    HWND f = name == "frmTimer" ? main : FindForm(process.pid(), name);
    return f != nullptr && (f == main || IsWindowVisible(f)) ? f : nullptr;
  }
  HWND Ctl(const std::string& form, const std::string& name) const {
    return FindControl(Form(form), name);
  }
  std::string Display() const { return DisplayedTime(main); }
  std::vector<TraceLine> Trace() const { return ReadTrace(trace); }
  HWND Box() const { return FindMessageBox(process.pid()); }  // an open message box

  const Options& options;
  const std::string label;  // names the trace file, and the steps without a check
  std::string exe, trace;   // of the program started last
  Process process;
  HWND main = nullptr;
  // What Launch saw: ms from the start to the first poll that found the splash (-1: never) and to
  // frmTimer's showing; the splash's product name; whether frmTimer came beside it.
  int64_t splash_ms = -1, main_ms = -1;
  std::string splash_product;
  bool splash_with_main = false;
  std::string error;   // why the last action failed, when that is more than a missing window
  HWND own = nullptr;  // a window of the driver's own in front, while a step keeps one open
};

// What must hold: the empty text when it does, else what was seen (and what was expected).
using Expect = std::function<std::string(Session&)>;
// Something the user (or the system) does; false when it could not be done.
using Action = std::function<bool(Session&)>;

// A check (unnamed: only its failure is reported) that something holds, waited for (or held all
// along) after an action; a failed action or `vital` check, or any unnamed step's, ends the group.
struct Step {
  Step(std::string name, Expect e, int wait_ms = 3000, bool hold = false, bool stop = false)
      : Step(std::move(name), Action(), std::move(e), wait_ms, hold, stop) {}
  Step(std::string name, Action a, Expect e = {}, int wait_ms = 3000, bool hold = false,
       bool stop = false)
      : check(name), act(a), expect(e), ms(wait_ms), holds(hold), vital(stop) {}
  std::string check;
  Action act;
  Expect expect;
  int ms;
  bool holds, vital;
};

// Runs `steps` on the program started with `planted` settings (with none, a step starts it).
inline void RunSteps(Report& r, const Options& o, const std::string& label,
                     const std::optional<Planted>& planted, const std::vector<Step>& steps) {
  Session s(o, label);
  const std::string why = planted ? s.Launch(*planted, o.exe) : "";
  if (!why.empty()) r.Check(label + ".launch", false, why);
  for (size_t n = 0; n < steps.size() && why.empty(); ++n) {
    const Step& step = steps[n];
    const std::string name =
        step.check.empty() ? label + ".step" + std::to_string(n + 1) : step.check;
    s.error.clear();
    if (step.act && !step.act(s)) {
      r.Check(name, false, s.error.empty() ? "could not act (no such window)" : s.error);
      return;
    }
    std::string seen;
    auto holds = [&] { return !step.expect || (seen = step.expect(s)).empty(); };
    const bool ok = Poll(step.ms, holds, !step.holds);
    if (!step.check.empty() || !ok) r.Check(name, ok, seen);
    if (!ok && (step.vital || step.check.empty())) return;
  }
}

using Group = std::pair<const char*, void (*)(Report&, const Options&)>;

// Ends every unwindle.exe of this prefix; how many there were.
inline int EndPrograms() {
  int ended = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe)) {
    if (_stricmp(pe.szExeFile, "unwindle.exe") != 0) continue;
    if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID)) {
      ended += TerminateProcess(p, 99) != 0;
      WaitForSingleObject(p, 5000);
      CloseHandle(p);
    }
  }
  CloseHandle(snap);
  return ended;
}

// Runs the groups that "EXE [--setup FILE] [--results DIR] [--wav FILE] [--only GROUP]" ask for:
// "PASS name" or "FAIL name: detail" for each check, then "N passed, M failed"; 0 if all passed.
inline int RunGroups(const std::vector<Group>& groups, const std::vector<std::string>& args) {
  Options o;
  const char* usage = "arguments: EXE [--setup FILE] [--results DIR] [--wav FILE] [--only GROUP]\n";
  const std::pair<std::string, std::string*> named[] = {
      {"--setup", &o.setup}, {"--results", &o.dir}, {"--wav", &o.wav}, {"--only", &o.only}};
  for (size_t i = 0; i < args.size(); ++i) {
    auto it = std::find_if(std::begin(named), std::end(named),
                           [&](auto& n) { return n.first == args[i]; });
    std::string* value = i == 0                                        ? &o.exe
                         : it == std::end(named) || ++i == args.size() ? nullptr
                                                                       : it->second;
    if (value == nullptr || args[0][0] == '-') return std::fputs(usage, stderr), 2;
    // Unix paths reach us as they are: "/tmp/x" is "Z:\tmp\x".
    *value = (args[i][0] == '/' ? "Z:" : "") + args[i];
    std::replace(value->begin(), value->end(), '/', '\\');
  }
  Report r;
  // A group named "*_german" needs Wine's user interface in German (make e2e runs it so): it runs
  // only when asked for by name.
  auto german = [](std::string_view name) { return name.ends_with("_german"); };
  for (const auto& [name, run] : groups) {
    if (o.exe.empty() || (o.only.empty() ? german(name) : o.only != name)) continue;
    run(r, o);
    // A group that stopped half-way may leave a program it did not start itself (one a command
    // started): every later group would find it running and only forward to it.
    if (const int left = EndPrograms())
      r.Check(std::string(name) + ".nothing_left_running", false,
              std::to_string(left) + " unwindle.exe ended by force");
  }
  Clean();  // for whoever uses this prefix next
  std::printf("%d passed, %d failed\n", r.passed, r.failed);
  std::fflush(stdout);
  return r.failed == 0 && r.passed > 0 ? 0 : 1;
}

inline Expect All(std::vector<Expect> all) {
  return [all = std::move(all)](Session& s) {
    std::string seen;
    for (const Expect& e : all) {
      const std::string one = e(s);
      if (!one.empty()) seen += (seen.empty() ? "" : "; ") + one;
    }
    return seen;
  };
}

// Judged by `ok`, from what it says: true when it holds, else `seen` says what was seen.
inline Expect Holds(std::function<bool(Session&, std::string& seen)> ok) {
  return [ok](Session& s) {
    std::string seen;
    return ok(s, seen) ? "" : seen.empty() ? "failed" : seen;
  };
}

inline Expect That(std::function<bool()> ok, const std::string& otherwise) {
  return [=](Session&) { return ok() ? "" : otherwise; };
}

// A window (`control` empty; a missing one is not shown) or its control is (`want`) or is not
// "shown", "enabled", "minimized" or "topmost".
inline Expect Is(const std::string& form, const std::string& control, const std::string& what,
                 bool want = true) {
  return [=](Session& s) {
    HWND h = control.empty() ? s.Form(form) : s.Ctl(form, control);
    const std::string name = control.empty() ? form : form + "." + control;
    if (h == nullptr && !control.empty()) return name + " is missing";
    const bool is = (what == "shown" && IsWindowVisible(h)) ||
                    (what == "enabled" && IsWindowEnabled(h)) ||
                    (what == "minimized" && IsIconic(h)) ||
                    (what == "topmost" && (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST));
    return is == want ? "" : name + (is ? " is " : " is not ") + what;
  };
}

inline Expect Visible(const std::string& form, bool visible = true) {
  return Is(form, "", "shown", visible);
}

// The texts of a window ("") and of its controls.
inline Expect Texts(const std::string& form, const Planted& texts) {
  return [=](Session& s) {
    std::string seen;
    for (const auto& [control, text] : texts) {
      HWND h = control.empty() ? s.Form(form) : s.Ctl(form, control);
      const std::string shown = h ? Quote(TextOf(h)) : "missing";
      if (shown != Quote(text))
        seen += (seen.empty() ? "" : "; ") + Expected(form + "." + control, shown, Quote(text));
    }
    return seen;
  };
}

inline std::string Seen(const RegValue& v) {
  return v.present ? Quote(v.text) + " (type " + std::to_string(v.type) + ", " +
                         std::to_string(v.data.size()) + " bytes)"
                   : "missing";
}

// A REG_SZ with that text and one NUL.
inline Expect Stored(const std::string& name, const std::string& text,
                     const char* key = kSettingsKey) {
  return [=](Session&) {
    const RegValue v = ReadValue(key, name);
    const bool ok = v.present && v.type == REG_SZ && v.data == text + '\0';
    return ok ? "" : Expected(name, Seen(v), Quote(text));
  };
}

inline Expect RunEntry(bool present) {  // the startup entry names the program started last
  return [present](Session& s) {
    const RegValue v = ReadValue(kRunKey, "Unwindle");
    const std::string want = present ? Quote(s.exe) : "missing";
    const bool ok = present ? v.type == REG_SZ && Lower(v.text) == Lower(want) : !v.present;
    return ok ? "" : Expected("Run\\Unwindle", Seen(v), want);
  };
}

inline Expect Ended(int exitCode = -1) {  // -1: with any code
  return [exitCode](Session& s) {
    DWORD code = 0;
    if (!s.process.WaitExit(0, &code)) return std::string("the program still runs");
    return exitCode < 0 || code == static_cast<DWORD>(exitCode)
               ? ""
               : Expected("the exit code", std::to_string(code), std::to_string(exitCode));
  };
}

// `count` lines (at least, unless `exactly`) of that event whose first fields are `fields`.
inline Expect Traced(const std::string& event, const std::vector<std::string>& fields,
                     size_t count = 1, bool exactly = false) {
  return [=](Session& s) {
    const size_t found = Matching(s.Trace(), event, fields).size();
    std::string what = event;
    for (const auto& f : fields) what += " " + f;
    return (exactly ? found == count : found >= count)
               ? ""
               : Expected(Quote(what) + " lines", std::to_string(found),
                          (exactly ? "" : "at least ") + std::to_string(count));
  };
}

inline Expect InFront(bool own) {
  return [own](Session& s) {
    HWND front = GetForegroundWindow();
    return front != nullptr && front == (own ? s.own : s.main)
               ? ""
               : Expected("the window in front is", Quote(TextOf(front)),
                          own ? "the driver's own" : "frmTimer");
  };
}

// The open message box asks `text` (or, `part`, says it among more); with no text: none is open.
inline Expect Asks(const std::string& text, bool part = false) {
  return [=](Session& s) {
    const std::string asked = s.Box() ? Quote(MessageBoxText(s.Box())) : "nothing";
    const std::string want = text.empty() ? "nothing" : Quote(text);
    return asked == want || (part && asked.find(text) != std::string::npos)
               ? ""
               : Expected("a message box asks", asked, (part ? "... " : "") + want);
  };
}

// The tooltip the program gave its icon last, from its trace: `prefix` then `suffix`; with no
// suffix, exactly `prefix`.
inline Expect TipReads(const std::string& prefix, std::optional<std::string> suffix = {}) {
  return [=](Session& s) {
    std::string tip;
    for (const auto& l : s.Trace())
      if ((l.event == "tray.modify" || l.event == "tray.add") && l.fields.size() >= 4)
        tip = l.fields[3];
    const std::string end = suffix.value_or("");
    const bool ok = suffix
                        ? tip.size() >= prefix.size() + end.size() && tip.rfind(prefix, 0) == 0 &&
                              tip.compare(tip.size() - end.size(), end.size(), end) == 0
                        : tip == prefix;
    return ok ? ""
              : Expected("the tooltip", Quote(tip),
                         Quote(prefix) + (suffix ? "..." + Quote(end) : ""));
  };
}

inline Action Start(const std::string& program, Planted planted = {}) {  // Session::Launch
  return [=](Session& s) { return (s.error = s.Launch(planted, program)).empty(); };
}

inline Action Press(const std::string& form, const std::string& control) {  // BM_CLICK, sent
  return [=](Session& s) { return ClickButton(s.Ctl(form, control)); };
}

// Posted to the control with the focus: through the program's message loop, like a typed key.
inline Action Key(const std::string& form, WORD vk) {
  return [=](Session& s) {
    HWND target = s.Form(form);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (target && GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &info))
      target = info.hwndFocus ? info.hwndFocus : target;
    const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    return target && PostMessageA(target, WM_KEYDOWN, vk, down) &&
           PostMessageA(target, WM_KEYUP, vk, down | LPARAM{3} << 30);
  };
}

// Posted, for a button whose press opens a modal window (the sender is not held behind it).
inline Action PressLater(const std::string& form, const std::string& button) {
  return [=](Session& s) { return PostMessageA(s.Ctl(form, button), BM_CLICK, 0, 0) != 0; };
}

// An item of the main window's menu or one of its buttons (the window on the screen), or of its
// tray menu (whenever no modal window is open); `later`: it opens a modal window.
inline Action Menu(const std::string& item, bool later = false) {
  return [=](Session& s) { return Invoke(s.main, item, !later); };
}

inline Action Answer(int id) {
  return [id](Session& s) {
    HWND box = s.Box();
    if (box) ClickButton(GetDlgItem(box, id), 1000);  // may not return: the answer may end it
    return box != nullptr;
  };
}

// As pasting into a text box would: its whole text replaced, and the program sees the change.
inline Action Type(const std::string& form, const std::string& control, const std::string& text) {
  return [=](Session& s) {
    DWORD_PTR done = 0;
    return SendMessageTimeoutA(s.Ctl(form, control), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000,
                               &done) &&
           done;
  };
}

inline Action CloseBox(const std::string& form) {  // WM_CLOSE
  return [form](Session& s) { return s.Form(form) && PostMessageA(s.Form(form), WM_CLOSE, 0, 0); };
}

inline Action Shot(const std::string& form, const std::string& name) {
  return [=](Session& s) {
    Snap(s.options, s.Form(form), name);
    return true;
  };
}

inline Action Then(std::vector<Action> all) {
  return [all = std::move(all)](Session& s) {
    for (const Action& a : all)
      if (!a(s)) return false;
    return true;
  };
}

}  // namespace e2e
