// End-to-end checks of what a Windows user gets: the program's icon, one program per session, the
// installer and the uninstaller. Runs under Wine after the main driver, in the same prefix.
//
//   unwindle_release_driver EXE --setup Unwindle-<version>-setup.exe [--trace-dir DIR]
//                           [--only icon|instance|installer|busy|crash]

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/win32/single_instance.h"
#include "session.h"
#include "stored_defaults.h"

namespace e2e {
namespace {

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Unwindle";

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

// Every setting the program stores on its first start, and nothing else.
const Expect kAllSettings = Holds([](Session&, std::string& seen) {
  const int n = ValueCount(kSettingsKey);
  seen = std::to_string(n) + " values under HKCU\\" + kSettingsKey;
  return n == static_cast<int>(unw::kStoredDefaults.size());
});

// Runs a command (an installer's) to its end: true when it exits with 0.
bool RunToEnd(Session& s, const std::string& command) {
  Process p;
  DWORD code = 1;
  if (!p.Start(command, "", &s.error)) return false;
  const bool ended = p.WaitExit(120000, &code);
  if (!ended) p.Kill();
  s.error = command + (ended ? " exited with " + std::to_string(code) : " still runs after 120 s");
  return ended && code == 0;
}

// What the installer and the uninstaller do to a running program: WM_CLOSE to its instance window.
Action ExitRequest() {
  return [](Session& s) {
    HWND instance = FindWindowA(unw::win32::kInstanceWindowClass, nullptr);
    DWORD_PTR result = 0;
    if (instance) SendMessageTimeoutA(instance, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    s.error = "no window of class " + std::string(unw::win32::kInstanceWindowClass);
    return instance != nullptr;
  };
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

std::string Resource(HMODULE m, LPCSTR name, LPCSTR type) {
  HRSRC res = FindResourceA(m, name, type);
  HGLOBAL loaded = res ? LoadResource(m, res) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return data ? std::string(static_cast<const char*>(data), SizeofResource(m, res)) : "";
}

// The width of the icon's colour bitmap (0 when it has none); its alpha channel, rows from the top.
int IconWidth(HICON icon, std::vector<BYTE>* alpha = nullptr) {
  ICONINFO info{};
  BITMAP bm{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  int width =
      info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm) == sizeof bm ? bm.bmWidth : 0;
  if (width && alpha) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) != bm.bmHeight)
      width = 0;
    ReleaseDC(nullptr, dc);
    for (uint32_t p : px) alpha->push_back(static_cast<BYTE>(p >> 24));
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return width;
}

void Icon(Report& r, const Options& o) {
  HMODULE m = LoadLibraryExA(o.exe.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!r.Check("icon.readable", m != nullptr,
               "LoadLibraryEx(" + o.exe + "), error " + std::to_string(GetLastError())))
    return;
  std::string first;
  EnumResourceNamesA(
      m, RT_GROUP_ICON,
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR lp) -> BOOL {
        // A name given as a number stays a number; a text must be copied before the call returns.
        *reinterpret_cast<std::string*>(lp) =
            IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
        return FALSE;
      },
      reinterpret_cast<LONG_PTR>(&first));
  const std::string group = first.empty() ? "" : Resource(m, first.c_str(), RT_GROUP_ICON);
  // Every size, each 32-bit, in the executable's first icon group. Each image decodes at its size
  // with alpha: transparent corners, an opaque middle and soft edges; the 256 px one is a PNG.
  std::vector<int> sizes;
  std::string seen, bad;
  bool all32 = true;
  for (size_t at = 6; at + sizeof(GroupEntry) <= group.size(); at += sizeof(GroupEntry)) {
    GroupEntry e;
    std::memcpy(&e, group.data() + at, sizeof e);
    const int size = e.width == 0 ? 256 : e.width;
    const std::string name = " " + std::to_string(size);
    sizes.push_back(size);
    seen += name + "x" + std::to_string(e.height == 0 ? 256 : e.height) + "/" +
            std::to_string(e.bits) + "bit";
    all32 = all32 && e.bits == 32 && e.width == e.height;
    const std::string data = Resource(m, MAKEINTRESOURCEA(e.id), RT_ICON);
    const bool png = data.compare(0, 4, "\x89PNG") == 0;
    if (png != (size == 256)) bad += name + (png ? " is PNG;" : " is no PNG;");
    HICON icon = data.empty() ? nullptr
                              : CreateIconFromResourceEx(
                                    reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                    static_cast<DWORD>(data.size()), TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
    std::vector<BYTE> a;
    const int width = IconWidth(icon, &a);
    const size_t n = static_cast<size_t>(size);
    if (width != size)
      bad += name + " does not decode (width " + std::to_string(width) + ");";
    else if (a[0] != 0 || a[n * n - 1] != 0 || a[n * (n / 2) + n / 2] != 255 ||
             std::none_of(a.begin(), a.end(), [](BYTE v) { return v > 0 && v < 255; }))
      bad += name + " has no alpha channel;";
    if (icon) DestroyIcon(icon);
  }
  FreeLibrary(m);
  std::sort(sizes.begin(), sizes.end());
  r.Check("icon.group_sizes", all32 && sizes == std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256},
          first.empty() ? "no icon group" : "first group " + first + " holds" + seen);
  r.Check("icon.images_decode", !sizes.empty() && bad.empty(), bad);

  // What the shell asks for: the number of icons, and the first at the large and small sizes.
  const UINT count = ExtractIconExA(o.exe.c_str(), -1, nullptr, nullptr, 0);
  HICON big = nullptr, little = nullptr;
  ExtractIconExA(o.exe.c_str(), 0, &big, &little, 1);
  const int bw = IconWidth(big), lw = IconWidth(little);
  const int want_big = GetSystemMetrics(SM_CXICON), want_little = GetSystemMetrics(SM_CXSMICON);
  r.Check("icon.extract", count == 1 && bw == want_big && lw == want_little,
          "ExtractIconEx counts " + std::to_string(count) + " icons (expected 1), large " +
              std::to_string(bw) + " px (expected " + std::to_string(want_big) + "), small " +
              std::to_string(lw) + " px (expected " + std::to_string(want_little) + ")");
  if (big) DestroyIcon(big);
  if (little) DestroyIcon(little);
}

// ---- One program per session.

int CountProcesses(const char* exe_name) {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = Process32First(snap, &pe); more; more = Process32Next(snap, &pe))
    n += _stricmp(pe.szExeFile, exe_name) == 0;
  CloseHandle(snap);
  return n;
}

void Instance(Report& r, const Options& o) {
  auto second = std::make_shared<Process>();
  const std::string trace = o.trace_dir.empty() ? "" : o.trace_dir + "\\instance-second.trace";
  RunSteps(
      r, o, "instance-first",
      {
          {"instance.first_starts", Start(o.exe)},
          // The close box sends it to the tray (HideWhenMinimized is on by default).
          {"", CloseBox("frmTimer"), Visible("frmTimer", false), 5000},
          {"instance.second_start_exits",
           [=](Session& s) {
             DeleteFileA(trace.c_str());
             return second->Start("\"" + o.exe + "\"", trace, &s.error);
           },
           Holds([=](Session&, std::string& seen) {
             DWORD code = 1;
             const bool ended = second->WaitExit(0, &code), quiet = ReadTrace(trace).empty();
             seen = !ended ? "the second start still runs"
                           : "exit code " + std::to_string(code) +
                                 (quiet ? "" : ", and it started a program (its trace has lines)");
             return ended && code == 0 && quiet;
           }),
           15000},
          {"instance.first_window_comes_back",
           {},
           All({Visible("frmTimer"), Iconic(false), InFront(false),
                Text("frmTimer", "", kCaption)}),
           5000},
          {"instance.one_process_one_tray_icon", {}, Holds([](Session&, std::string& seen) {
             const int processes = CountProcesses("unwindle.exe");
             const size_t icons = TrayIcons().size();
             seen = std::to_string(processes) + " unwindle.exe processes, " +
                    std::to_string(icons) + " tray icons";
             return processes == 1 && icons == 1;
           })},
          // The installer's request: the program ends at once, without its question, its icon
          // removed.
          {"instance.exit_request", ExitRequest(),
           All({Ended(0), Traced("tray.delete", {}), Traced("instance.exit", {"1"}),
                That([] { return TrayIcons().empty(); }, "an icon is left in the tray")}),
           10000},
      });
  second->Kill();
}

// A program that crashed leaves its mutex abandoned, perhaps still open elsewhere: a new start
// must not take itself for a second one.
void Crash(Report& r, const Options& o) {
  RunSteps(r, o, "after-crash",
           {{"crash.new_start_runs",
             Then({Start(o.exe), [](Session& s) {
                     HANDLE held = OpenMutexA(SYNCHRONIZE, FALSE, "Local\\KORVANTE.Unwindle");
                     s.process.Kill();
                     s.error = held ? s.Launch({}, s.options.exe)
                                    : "no mutex Local\\KORVANTE.Unwindle while the program ran";
                     if (held) CloseHandle(held);
                     return s.error.empty();
                   }})}});
}

// While the break prompt waits for an answer the program declines to exit: ending it under the
// prompt would let the code that opened it bring the program back once it closed.
void Busy(Report& r, const Options& o) {
  const Action prompt = [](Session& s) {
    s.error = "no break prompt";
    return WaitFor(8000, [&] { return s.Form("frmUnwindle") != nullptr; });
  };
  RunSteps(
      r, o, "busy",
      {
          {"busy.exit_declined_under_prompt",
           Then({Start(o.exe, Settings("Hours=0 Minutes=0 Seconds=2")), prompt, ExitRequest()}),
           All({Traced("instance.exit", {"0"}), Visible("frmUnwindle"),
                Traced("window.load", {"frmTimer"}, 1, true)}),
           5000},
          {"", Press("frmUnwindle", "cmdStopTimer")},
      });
}

// ---- Installer and uninstaller.

// The target of a shell link, as the Start menu would start it.
std::string ShortcutTarget(const std::string& lnk) {
  char path[MAX_PATH] = {};
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(Wide(lnk).c_str(), STGM_READ)))
    link->GetPath(path, MAX_PATH, nullptr, 0);
  if (file) file->Release();
  if (link) link->Release();
  return path;
}

void Installer(Report& r, const Options& o) {
  const std::string dir = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Unwindle";
  const std::string exe = dir + "\\unwindle.exe", uninstaller = "\"" + dir + "\\uninstall.exe\"";
  const std::string shortcut = Folder(CSIDL_PROGRAMS) + "\\Unwindle.lnk";
  const std::string built = ReadAll(o.exe), setup = "\"" + o.setup + "\" /S";
  std::vector<Expect> entry;
  for (const auto& [name, want] : Planted{{"DisplayName", "Unwindle"},
                                          {"DisplayVersion", UNWINDLE_VERSION},
                                          {"Publisher", "KORVANTE"},
                                          {"DisplayIcon", exe + ",0"},
                                          {"InstallLocation", dir},
                                          {"UninstallString", uninstaller},
                                          {"QuietUninstallString", uninstaller + " /S"}}) {
    entry.push_back([name = name, want = want](Session&) {
      const RegValue v = ReadValue(kUninstallKey, name);
      return v.present && v.type == REG_SZ && Lower(v.text) == Lower(want)
                 ? ""
                 : name + " is " + (v.present ? Quote(v.text) : "missing") + ", expected " +
                       Quote(want);
    });
  }
  // In KB, at least the program's own size.
  entry.push_back(Holds([kb = built.size() / 1024](Session&, std::string& seen) {
    const RegValue v = ReadValue(kUninstallKey, "EstimatedSize");
    DWORD size = 0;
    if (v.type == REG_DWORD) std::memcpy(&size, v.data.data(), std::min<size_t>(4, v.data.size()));
    seen =
        "EstimatedSize " + std::to_string(size) + " KB for a " + std::to_string(kb) + " KB program";
    return v.type == REG_DWORD && size >= kb && size <= 4 * (kb + 1);
  }));
  const Action install = [setup](Session& s) { return RunToEnd(s, setup); };
  const auto as_built = [=] { return !built.empty() && ReadAll(exe) == built; };
  RunSteps(
      r, o, "installed",
      {
          {"installer.silent_install", install},
          {"installer.files",
           {},
           All({That(as_built, exe + " is missing or not as built"),
                That([=] { return Exists(dir + "\\uninstall.exe"); }, "no uninstall.exe"),
                That([=] { return Exists(dir + "\\LICENSE.txt"); }, "no LICENSE.txt")})},
          {"installer.shortcut", {}, Holds([=](Session&, std::string& seen) {
             seen = shortcut + " starts " + Quote(ShortcutTarget(shortcut)) + ", expected " +
                    Quote(exe);
             return Lower(ShortcutTarget(shortcut)) == Lower(exe);
           })},
          {"installer.uninstall_entry", {}, All(entry)},
          // Its first start writes the settings and names it in the Run key.
          {"installer.program_starts", Start(exe)},
          {"installer.run_entry_names_installed_program", {}, RunEntry(true)},
          {"installer.program_writes_settings", {}, kAllSettings},
          // The same version over the running program: it is asked to exit, then replaced whole.
          {"installer.over_running_program", install,
           All({Ended(0), Traced("tray.delete", {}), That(as_built, "unwindle.exe not as built"),
                That([=] { return !Exists(exe + ".new"); }, "unwindle.exe.new left behind")}),
           5000},
          // The quiet uninstaller, with the program running: everything goes but the settings. It
          // copies itself to the temporary folder, starts the copy and returns at once.
          {"", Start(exe)},
          {"uninstaller.silent_uninstall",
           [](Session& s) {
             const RegValue quiet = ReadValue(kUninstallKey, "QuietUninstallString");
             s.error = "no QuietUninstallString";
             return quiet.present && RunToEnd(s, quiet.text);
           }},
          {"uninstaller.program_ended", {}, Ended(), 60000},
          {"uninstaller.files_removed",
           {},
           That([=] { return !Exists(dir); }, dir + " is still there"),
           60000},
          {"uninstaller.shortcut_removed",
           {},
           That([=] { return !Exists(shortcut); }, shortcut + " is still there"),
           60000},
          {"uninstaller.uninstall_entry_removed",
           {},
           That([] { return ValueCount(kUninstallKey) < 0; }, "the Uninstall entry is still there"),
           60000},
          {"uninstaller.run_entry_removed", {}, RunEntry(false), 60000},
          {"uninstaller.settings_kept", {}, kAllSettings},
      });
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  using namespace e2e;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  return RunGroups({{"icon", Icon},
                    {"instance", Instance},
                    {"installer", Installer},
                    {"busy", Busy},
                    {"crash", Crash}},
                   {argv + 1, argv + argc});
}
