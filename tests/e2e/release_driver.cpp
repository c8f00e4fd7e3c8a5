// End-to-end checks of what a Windows user gets: the program's icon, one program per session, the
// installer and the uninstaller. Runs under Wine after the main driver, in the same prefix.
//
//   unwindle_release_driver PATH\unwindle.exe PATH\Unwindle-<version>-setup.exe
//                           [--trace-dir DIR] [--only icon|instance|installer|busy|crash]
//
// One line "PASS name" or "FAIL name: detail" per check, then "N passed, M failed"; the exit code
// is 0 only when every check passed. Paths may be Unix paths ("/tmp/x" becomes "Z:\tmp\x").

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/single_instance.h"
#include "probe.h"
#include "stored_defaults.h"

namespace e2e {
namespace {

constexpr char kSettingsKey[] = "Software\\KORVANTE\\Unwindle";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Unwindle";
constexpr char kMutexName[] = "Local\\KORVANTE.Unwindle";
// Every setting the program stores on its first start.
const int kStoredSettings = static_cast<int>(unw::kStoredDefaults.size());
// What the executable's icon group must hold, in pixels.
constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
// The start shows a five-second splash first: allow for it and a cold, busy Wine.
constexpr int kWindowTimeoutMs = 25000;
constexpr int kSetupTimeoutMs = 120000;

struct Options {
  std::string exe;
  std::string setup;
  std::string trace_dir;
  std::string only;
};

class Report {
 public:
  bool Check(const std::string& name, bool ok, const std::string& detail = {}) {
    ok ? ++passed_ : ++failed_;
    std::printf(ok ? "PASS %s\n" : "FAIL %s: %s\n", name.c_str(),
                detail.empty() ? "failed" : detail.c_str());
    std::fflush(stdout);
    return ok;
  }
  static void Note(const std::string& text) {
    std::printf("# %s\n", text.c_str());
    std::fflush(stdout);
  }
  int passed() const { return passed_; }
  int failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path) {
  std::string data;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
  CloseHandle(f);
  return data;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

// Runs a command line and waits for its end; false when it did not start or end in time.
bool RunAndWait(const std::string& command, int timeout_ms, DWORD* code, std::string* detail) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = command;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    *detail = "could not start " + command + ", error " + std::to_string(GetLastError());
    return false;
  }
  CloseHandle(pi.hThread);
  const bool ended = WaitForSingleObject(pi.hProcess, timeout_ms) == WAIT_OBJECT_0;
  if (ended) GetExitCodeProcess(pi.hProcess, code);
  if (!ended) {
    *detail = command + " still running after " + std::to_string(timeout_ms) + " ms";
    TerminateProcess(pi.hProcess, 99);
  }
  CloseHandle(pi.hProcess);
  return ended;
}

int CountProcesses(const char* exe_name) {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
    n += _stricmp(pe.szExeFile, exe_name) == 0;
  CloseHandle(snap);
  return n;
}

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM lp) {
  if (IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(lp);
  return TRUE;
}

// Icons shown in Wine's notification area.
int TrayIcons() {
  HWND tray = WineTrayWindow();
  int n = 0;
  if (tray != nullptr && IsWindowVisible(tray))
    EnumChildWindows(tray, CountVisible, reinterpret_cast<LPARAM>(&n));
  return n;
}

bool ReadDword(const std::string& key, const std::string& name, DWORD* value) {
  DWORD size = sizeof *value, type = 0;
  return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type, value,
                      &size) == ERROR_SUCCESS &&
         type == REG_DWORD;
}

int ValueCount(const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS)
    return -1;
  DWORD values = 0;
  RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(h);
  return static_cast<int>(values);
}

bool KeyExists(const std::string& key) {
  return ValueCount(key) >= 0;
}

// The target of a shell link, as the Start menu would start it.
std::string ShortcutTarget(const std::string& lnk) {
  std::string target;
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
    char path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
        SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
      target = path;
    file->Release();
  }
  link->Release();
  return target;
}

// The instance window of the running program, if any.
HWND InstanceWindow() {
  return FindWindowA(unw::win32::kInstanceWindowClass, nullptr);
}

std::string TracePath(const Options& o, const std::string& label) {
  if (o.trace_dir.empty()) return {};
  const std::string path = o.trace_dir + "\\" + label + ".trace";
  DeleteFileA(path.c_str());
  return path;
}

// Starts `exe` and waits for its main window to show; the window in *form.
bool StartProgram(Process& p, const std::string& exe, const std::string& trace, HWND* form,
                  std::string* detail) {
  if (!p.Start(exe, trace, detail)) return false;
  *form = nullptr;
  const bool shown = WaitFor(kWindowTimeoutMs, [&] {
    *form = FindForm(p.pid(), "frmTimer");
    return (*form != nullptr && IsWindowVisible(*form)) || !p.Running();
  });
  if (shown && p.Running()) return true;
  *detail = p.Running() ? "no visible frmTimer after " + std::to_string(kWindowTimeoutMs) + " ms"
                        : "the program ended before showing frmTimer";
  return false;
}

// Asks the running program to exit as the installer does (WM_CLOSE to its instance window) and
// waits for its end; kills it when it does not go.
bool ExitLikeTheInstaller(Process& p, DWORD* code, std::string* detail) {
  HWND instance = InstanceWindow();
  if (instance == nullptr) {
    *detail = "no window of class " + std::string(unw::win32::kInstanceWindowClass);
  } else {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(instance, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    if (p.WaitExit(10000, code)) return true;
    *detail = "still running 10 s after WM_CLOSE to its instance window";
  }
  p.Kill();
  return false;
}

// ---- The program's icon, read back from the executable.

#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR lp) {
  // A name given as a number stays a number; a string must be copied before the call returns.
  auto* out = reinterpret_cast<std::string*>(lp);
  *out = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
  return FALSE;
}

std::string Resource(HMODULE m, LPCSTR name, LPCSTR type) {
  HRSRC res = FindResourceA(m, name, type);
  HGLOBAL loaded = res ? LoadResource(m, res) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(m, res)) : "";
}

// Width of the icon's colour bitmap, and its alpha channel (rows from the top), 32-bit.
bool IconPixels(HICON icon, int* width, std::vector<BYTE>* alpha) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return false;
  BITMAP bm{};
  bool ok = info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm) == sizeof bm;
  if (ok) {
    *width = bm.bmWidth;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    ok =
        GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight;
    ReleaseDC(nullptr, dc);
    alpha->clear();
    for (uint32_t p : px) alpha->push_back(static_cast<BYTE>(p >> 24));
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return ok;
}

void Icon(Report& r, const Options& o) {
  HMODULE m = LoadLibraryExA(o.exe.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!r.Check("icon.readable", m != nullptr,
               "LoadLibraryEx(" + o.exe + "), error " + std::to_string(GetLastError())))
    return;
  std::string first;
  EnumResourceNamesA(m, RT_GROUP_ICON, FirstName, reinterpret_cast<LONG_PTR>(&first));
  const std::string group = first.empty() ? "" : Resource(m, first.c_str(), RT_GROUP_ICON);
  std::vector<GroupEntry> entries;
  for (size_t at = 6; group.size() >= 6 && at + sizeof(GroupEntry) <= group.size();
       at += sizeof(GroupEntry)) {
    GroupEntry e;
    std::memcpy(&e, group.data() + at, sizeof e);
    entries.push_back(e);
  }

  // Every size, each 32-bit, in the executable's first icon group.
  std::vector<int> sizes;
  std::string seen;
  bool all32 = true;
  for (const auto& e : entries) {
    sizes.push_back(e.width == 0 ? 256 : e.width);
    seen += " " + std::to_string(sizes.back()) + "x" +
            std::to_string(e.height == 0 ? 256 : e.height) + "/" + std::to_string(e.bits) + "bit";
    all32 = all32 && e.bits == 32 && e.width == e.height;
  }
  std::sort(sizes.begin(), sizes.end());
  r.Check("icon.group_sizes",
          all32 && sizes == std::vector<int>(std::begin(kIconSizes), std::end(kIconSizes)),
          first.empty() ? "no icon group" : "first group " + first + " holds" + seen);

  // Each image decodes at its size with alpha: transparent corners, an opaque middle and soft
  // edges; the 256 px one is stored as PNG.
  std::string bad;
  for (const auto& e : entries) {
    const int size = e.width == 0 ? 256 : e.width;
    const std::string data = Resource(m, MAKEINTRESOURCEA(e.id), RT_ICON);
    const bool png = data.compare(0, 4, "\x89PNG") == 0;
    if (png != (size == 256))
      bad += " " + std::to_string(size) + (png ? " is PNG;" : " is no PNG;");
    HICON icon = data.empty() ? nullptr
                              : CreateIconFromResourceEx(
                                    reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                    static_cast<DWORD>(data.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
    int width = 0;
    std::vector<BYTE> alpha;
    if (!IconPixels(icon, &width, &alpha) || width != size) {
      bad += " " + std::to_string(size) + " does not decode (width " + std::to_string(width) + ");";
    } else {
      const size_t n = static_cast<size_t>(size);
      const int soft = static_cast<int>(
          std::count_if(alpha.begin(), alpha.end(), [](BYTE a) { return a > 0 && a < 255; }));
      if (alpha[0] != 0 || alpha[n * n - 1] != 0 || alpha[n * (n / 2) + n / 2] != 255 || soft == 0)
        bad += " " + std::to_string(size) + " has no alpha channel;";
    }
    if (icon) DestroyIcon(icon);
  }
  r.Check("icon.images_decode", !entries.empty() && bad.empty(), bad);
  FreeLibrary(m);

  // What the shell asks for: the number of icons, and the first at the large and small sizes.
  const UINT count = ExtractIconExA(o.exe.c_str(), -1, nullptr, nullptr, 0);
  HICON large = nullptr, small = nullptr;
  ExtractIconExA(o.exe.c_str(), 0, &large, &small, 1);
  int lw = 0, sw = 0;
  std::vector<BYTE> ignored;
  IconPixels(large, &lw, &ignored);
  IconPixels(small, &sw, &ignored);
  const int want_large = GetSystemMetrics(SM_CXICON), want_small = GetSystemMetrics(SM_CXSMICON);
  r.Check("icon.extract", count == 1 && lw == want_large && sw == want_small,
          "ExtractIconEx counts " + std::to_string(count) + " icons (expected 1), large " +
              std::to_string(lw) + " px (expected " + std::to_string(want_large) + "), small " +
              std::to_string(sw) + " px (expected " + std::to_string(want_small) + ")");
  if (large) DestroyIcon(large);
  if (small) DestroyIcon(small);
}

// ---- One program per session.

void Instance(Report& r, const Options& o) {
  DeleteKeyTree(kSettingsKey);
  Process first;
  HWND form = nullptr;
  std::string detail;
  const std::string trace = TracePath(o, "instance-first");
  if (!r.Check("instance.first_starts", StartProgram(first, o.exe, trace, &form, &detail), detail))
    return;
  // The close box sends it to the tray (HideWhenMinimized is on by default).
  PostMessageA(form, WM_CLOSE, 0, 0);
  if (!WaitFor(5000, [&] { return !IsWindowVisible(form); }))
    Report::Note("the main window did not hide into the tray");

  Process second;
  const std::string second_trace = TracePath(o, "instance-second");
  DWORD code = 1;
  const bool started = second.Start(o.exe, second_trace, &detail);
  const bool ended = started && second.WaitExit(15000, &code);
  const bool built_nothing = ReadTrace(second_trace).empty();
  r.Check("instance.second_start_exits", ended && code == 0 && built_nothing,
          !started ? detail
          : !ended ? "the second start still runs after 15 s"
                   : "exit code " + std::to_string(code) +
                         (built_nothing ? "" : ", and it started a program (its trace has lines)"));

  const bool shown =
      WaitFor(5000, [&] { return IsWindowVisible(form) && !IsIconic(form); }) && first.Running();
  r.Check("instance.first_window_comes_back",
          shown && GetForegroundWindow() == form && TextOf(form) == "KORVANTE Unwindle",
          std::string("the first program's frmTimer is ") +
              (IsWindowVisible(form) ? "visible" : "hidden") +
              (IsIconic(form) ? ", minimized" : "") +
              (GetForegroundWindow() == form ? "" : ", not in the foreground"));
  const int processes = CountProcesses("unwindle.exe"), icons = TrayIcons();
  r.Check("instance.one_process_one_tray_icon", processes == 1 && icons == 1,
          std::to_string(processes) + " unwindle.exe processes, " + std::to_string(icons) +
              " tray icons");
  if (!ended) second.Kill();

  // The installer's request: the program ends at once, without its question, its icon removed.
  code = 1;
  const bool exited = ExitLikeTheInstaller(first, &code, &detail);
  const auto lines = ReadTrace(trace);
  const bool removed = !Matching(lines, "tray.delete").empty();
  const bool followed = !Matching(lines, "instance.exit", {"1"}).empty();
  r.Check("instance.exit_request", exited && code == 0 && removed && followed && TrayIcons() == 0,
          exited ? "exit code " + std::to_string(code) + (removed ? "" : ", no tray.delete") +
                       (followed ? "" : ", no \"instance.exit 1\" in the trace") + ", " +
                       std::to_string(TrayIcons()) + " tray icons left"
                 : detail);
}

// A program that crashed leaves its mutex abandoned, perhaps still open elsewhere: a new start
// must not take itself for a second one.
void Crash(Report& r, const Options& o) {
  Process crashed;
  HWND form = nullptr;
  std::string detail;
  if (!StartProgram(crashed, o.exe, "", &form, &detail)) {
    r.Check("crash.new_start_runs", false, "the program to crash did not start: " + detail);
    return;
  }
  HANDLE held = OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
  crashed.Kill();
  Process next;
  const bool runs = StartProgram(next, o.exe, TracePath(o, "after-crash"), &form, &detail);
  r.Check("crash.new_start_runs", held != nullptr && runs,
          held ? detail : "no mutex " + std::string(kMutexName) + " while the program ran");
  if (held) CloseHandle(held);
  DWORD code = 0;
  if (runs && !ExitLikeTheInstaller(next, &code, &detail)) Report::Note(detail);
}

// While the break prompt waits for an answer the program declines to exit: ending it under the
// prompt would let the code that opened it bring the program back once it closed.
void Busy(Report& r, const Options& o) {
  DeleteKeyTree(kSettingsKey);
  for (const char* zero : {"Hours", "Minutes"}) WriteText(kSettingsKey, zero, "0");
  WriteText(kSettingsKey, "Seconds", "2");
  Process p;
  HWND form = nullptr, prompt = nullptr;
  std::string detail;
  const std::string trace = TracePath(o, "busy");
  if (!StartProgram(p, o.exe, trace, &form, &detail) || !WaitFor(8000, [&] {
        prompt = FindForm(p.pid(), "frmUnwindle");
        return prompt != nullptr && IsWindowVisible(prompt);
      })) {
    r.Check("busy.exit_declined_under_prompt", false, "no break prompt: " + detail);
    p.Kill();
    return;
  }
  SendMessageA(InstanceWindow(), WM_CLOSE, 0, 0);
  WaitFor(5000, [&] { return !Matching(ReadTrace(trace), "instance.exit").empty(); });
  const auto lines = ReadTrace(trace);
  const size_t loads = Matching(lines, "window.load", {"frmTimer"}).size();
  r.Check("busy.exit_declined_under_prompt",
          !Matching(lines, "instance.exit", {"0"}).empty() && p.Running() &&
              IsWindowVisible(prompt) && loads == 1,
          std::string(p.Running() ? "" : "the program ended; ") +
              (IsWindowVisible(prompt) ? "" : "the prompt went; ") + "frmTimer loaded " +
              std::to_string(loads) + " times");
  p.Kill();
}

// ---- Installer and uninstaller.

void Installer(Report& r, const Options& o) {
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  const std::string dir = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Unwindle";
  const std::string exe = dir + "\\unwindle.exe";
  const std::string shortcut = Folder(CSIDL_PROGRAMS) + "\\Unwindle.lnk";
  const std::string built = ReadAll(o.exe);
  const std::string setup = "\"" + o.setup + "\" /S";

  DWORD code = 1;
  std::string detail;
  if (!r.Check("installer.silent_install",
               RunAndWait(setup, kSetupTimeoutMs, &code, &detail) && code == 0,
               detail.empty() ? "exit code " + std::to_string(code) : detail))
    return;
  r.Check("installer.files",
          !built.empty() && ReadAll(exe) == built && Exists(dir + "\\uninstall.exe") &&
              Exists(dir + "\\LICENSE.txt"),
          "in " + dir + ": unwindle.exe " +
              (ReadAll(exe) == built ? "as built" : "missing or not as built") +
              ", uninstall.exe " + (Exists(dir + "\\uninstall.exe") ? "there" : "missing") +
              ", LICENSE.txt " + (Exists(dir + "\\LICENSE.txt") ? "there" : "missing"));
  const std::string target = ShortcutTarget(shortcut);
  r.Check("installer.shortcut", Lower(target) == Lower(exe),
          shortcut + " starts \"" + target + "\", expected \"" + exe + "\"");

  {
    const std::string quoted_uninstaller = "\"" + dir + "\\uninstall.exe\"";
    const struct {
      const char* name;
      std::string want;
    } texts[] = {{"DisplayName", "Unwindle"},
                 {"DisplayVersion", UNWINDLE_VERSION},
                 {"Publisher", "KORVANTE"},
                 {"DisplayIcon", exe + ",0"},
                 {"InstallLocation", dir},
                 {"UninstallString", quoted_uninstaller},
                 {"QuietUninstallString", quoted_uninstaller + " /S"}};
    std::string bad;
    for (const auto& t : texts) {
      const RegValue v = ReadValue(kUninstallKey, t.name);
      if (!v.present || v.type != REG_SZ || Lower(v.text) != Lower(t.want))
        bad += std::string(" ") + t.name + " is " + (v.present ? "\"" + v.text + "\"" : "missing") +
               ", expected \"" + t.want + "\";";
    }
    // In KB, at least the program's own size.
    DWORD kb = 0;
    if (!ReadDword(kUninstallKey, "EstimatedSize", &kb) || kb < built.size() / 1024 ||
        kb > 4 * (built.size() / 1024 + 1))
      bad += " EstimatedSize " + std::to_string(kb) + " KB for a " +
             std::to_string(built.size() / 1024) + " KB program;";
    r.Check("installer.uninstall_entry", bad.empty(), "HKCU\\" + std::string(kUninstallKey) + bad);
  }

  // The installed program's first start writes the settings and names itself in the Run key.
  Process installed;
  HWND form = nullptr;
  const std::string installed_trace = TracePath(o, "installed");
  if (!r.Check("installer.program_starts",
               StartProgram(installed, exe, installed_trace, &form, &detail), detail))
    return;
  const RegValue run = ReadValue(kRunKey, "Unwindle");
  r.Check("installer.run_entry_names_installed_program",
          run.present && Lower(run.text) == Lower("\"" + exe + "\""),
          "Run\\Unwindle is " + (run.present ? "\"" + run.text + "\"" : std::string("missing")) +
              ", expected \"\\\"" + exe + "\\\"\"");
  r.Check("installer.program_writes_settings", ValueCount(kSettingsKey) == kStoredSettings,
          std::to_string(ValueCount(kSettingsKey)) + " values under HKCU\\" + kSettingsKey);

  // The same version over the running program: it is asked to exit, then replaced whole.
  code = 1;
  const bool reinstalled = RunAndWait(setup, kSetupTimeoutMs, &code, &detail) && code == 0;
  DWORD program_code = 1;
  const bool program_ended = installed.WaitExit(5000, &program_code);
  const bool removed = !Matching(ReadTrace(installed_trace), "tray.delete").empty();
  r.Check("installer.over_running_program",
          reinstalled && program_ended && program_code == 0 && removed && ReadAll(exe) == built &&
              !Exists(exe + ".new"),
          std::string(reinstalled ? ""
                                  : "setup failed (exit code " + std::to_string(code) + ") " +
                                        detail + ";") +
              (program_ended ? " program exit code " + std::to_string(program_code)
                             : " the program still runs") +
              (removed ? "" : ", its tray icon was not removed") +
              (ReadAll(exe) == built ? "" : ", unwindle.exe not as built") +
              (Exists(exe + ".new") ? ", unwindle.exe.new left behind" : ""));
  if (!program_ended) installed.Kill();

  // The quiet uninstaller, with the program running: everything goes but the settings.
  Process running;
  if (!StartProgram(running, exe, "", &form, &detail)) Report::Note("no program to end: " + detail);
  const RegValue quiet = ReadValue(kUninstallKey, "QuietUninstallString");
  // It copies itself to the temporary folder, starts the copy and returns at once.
  if (!r.Check(
          "uninstaller.silent_uninstall",
          quiet.present && RunAndWait(quiet.text, kSetupTimeoutMs, &code, &detail) && code == 0,
          quiet.present ? detail + " exit code " + std::to_string(code)
                        : "no QuietUninstallString"))
    return;
  auto gone = [&] {
    return !running.Running() && !Exists(dir) && !Exists(shortcut) && !KeyExists(kUninstallKey) &&
           !ReadValue(kRunKey, "Unwindle").present;
  };
  WaitFor(60000, gone);
  r.Check("uninstaller.program_ended", !running.Running(), "the program still runs");
  r.Check("uninstaller.files_removed", !Exists(dir), dir + " is still there");
  r.Check("uninstaller.shortcut_removed", !Exists(shortcut), shortcut + " is still there");
  r.Check("uninstaller.uninstall_entry_removed", !KeyExists(kUninstallKey),
          std::string(kUninstallKey) + " is still there");
  r.Check("uninstaller.run_entry_removed", !ReadValue(kRunKey, "Unwindle").present,
          "Run\\Unwindle is still there");
  r.Check("uninstaller.settings_kept", ValueCount(kSettingsKey) == kStoredSettings,
          std::to_string(ValueCount(kSettingsKey)) + " values left under HKCU\\" + kSettingsKey);
  running.Kill();
}

int Usage() {
  std::fprintf(stderr,
               "usage: unwindle_release_driver EXE SETUP [--trace-dir DIR] "
               "[--only icon|instance|installer|busy|crash]\n");
  return 2;
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  using namespace e2e;
  Options o;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--trace-dir" && i + 1 < argc) {
      o.trace_dir = ToWindowsPath(argv[++i]);
    } else if (a == "--only" && i + 1 < argc) {
      o.only = argv[++i];
    } else {
      paths.push_back(ToWindowsPath(a));
    }
  }
  if (paths.size() != 2) return Usage();
  o.exe = paths[0];
  o.setup = paths[1];
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  Report r;
  const struct {
    const char* name;
    void (*run)(Report&, const Options&);
  } groups[] = {{"icon", Icon},
                {"instance", Instance},
                {"installer", Installer},
                {"busy", Busy},
                {"crash", Crash}};
  for (const auto& g : groups) {
    if (o.only.empty() || o.only == g.name) g.run(r, o);
  }
  // Leave nothing behind for whoever uses this prefix next.
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  std::printf("%d passed, %d failed\n", r.passed(), r.failed());
  std::fflush(stdout);
  CoUninitialize();
  return r.failed() == 0 && r.passed() > 0 ? 0 : 1;
}
