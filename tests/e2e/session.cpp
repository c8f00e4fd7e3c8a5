#include "session.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace e2e {

namespace {

// The start waits for the five-second splash: allow for it and a cold, busy Wine.
constexpr int kWindowTimeoutMs = 25000;

std::string Expected(const std::string& what, const std::string& seen, const std::string& want) {
  return what + " " + seen + " (expected " + want + ")";
}

// What a value holds, for a message.
std::string Seen(const RegValue& v) {
  if (!v.present) return "missing";
  return Quote(v.text) + (v.type == REG_SZ ? "" : " (type " + std::to_string(v.type) + ")") +
         (v.data.size() == v.text.size() + 1 ? ""
                                             : " (" + std::to_string(v.data.size()) + " bytes)");
}

void Play(Session& s, const std::vector<Step>& steps) {
  int n = 0;
  for (const Step& step : steps) {
    ++n;
    const std::string name =
        step.check.empty() ? s.label + ".step" + std::to_string(n) : step.check;
    s.error.clear();
    if (step.act && !step.act(s)) {
      s.report.Check(name, false, s.error.empty() ? "could not act (no such window)" : s.error);
      return;
    }
    std::string seen;
    auto holds = [&] { return !step.expect || (seen = step.expect(s)).empty(); };
    const bool ok = step.holds ? HoldsFor(step.ms, holds) : WaitFor(step.ms, holds);
    if (!step.check.empty() || !ok) s.report.Check(name, ok, seen);
    if (!ok && (step.vital || step.check.empty())) return;
  }
}

// The display, judged against what it showed when first asked.
Expect Displays(std::function<bool(const std::string&, const std::string&)> ok, std::string want) {
  auto first = std::make_shared<std::string>();
  return [=](Session& s) {
    const std::string shown = s.Display();
    if (first->empty()) *first = shown;
    return ok(shown, *first) ? ""
                             : Expected("the display", Quote(shown),
                                        want + (shown == *first ? "" : ", first " + Quote(*first)));
  };
}

// What `test` says of a window (`control` empty; one that is not there is not shown either) or of
// its control.
Expect Is(const std::string& form, const std::string& control, BOOL (*test)(HWND), bool want,
          const char* yes, const char* no) {
  return [=](Session& s) {
    HWND h = control.empty() ? s.Form(form) : s.Ctl(form, control);
    const std::string name = control.empty() ? form : form + "." + control;
    if (h == nullptr && !control.empty()) return name + " is missing";
    const bool is = test(h) != FALSE;
    return is == want ? "" : name + " is " + (is ? yes : no);
  };
}

}  // namespace

bool Report::Check(const std::string& name, bool ok, const std::string& detail) {
  ++(ok ? passed : failed);
  if (ok)
    std::printf("PASS %s\n", name.c_str());
  else
    std::printf("FAIL %s: %s\n", name.c_str(), detail.empty() ? "failed" : detail.c_str());
  std::fflush(stdout);
  return ok;
}

void Report::Note(const std::string& text) {
  std::printf("# %s\n", text.c_str());
  std::fflush(stdout);
}

Planted Settings(const std::string& spaced, Planted more) {
  Planted out;
  for (size_t at = 0, end = 0; at < spaced.size(); at = end + 1) {
    end = std::min(spaced.find(' ', at), spaced.size());
    const size_t eq = spaced.find('=', at);
    out.emplace_back(spaced.substr(at, eq - at), spaced.substr(eq + 1, end - eq - 1));
  }
  out.insert(out.end(), more.begin(), more.end());
  return out;
}

bool OwnWindow::Open(bool fullScreen) {
  Close();
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"UnwindleE2eOwnWindow";
  RegisterClassW(&wc);
  hwnd =
      fullScreen
          ? CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Full screen", WS_POPUP | WS_VISIBLE,
                            0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                            nullptr, nullptr, wc.hInstance, nullptr)
          : CreateWindowExW(0, wc.lpszClassName, L"Typing here", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            40, 40, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
  SetForegroundWindow(hwnd);
  return hwnd != nullptr && WaitFor(3000, [&] { return GetForegroundWindow() == hwnd; });
}

void OwnWindow::Close() {
  if (hwnd) DestroyWindow(hwnd);
  hwnd = nullptr;
}

Session::~Session() {
  if (!process.Running()) return;
  if (!e2e::Invoke(main, "mnuExit", false) || !WaitFor(5000, [&] { return Box() != nullptr; })) {
    Report::Note(label + ": no exit question; terminating the process");
    process.Kill();
    return;
  }
  ClickButton(GetDlgItem(Box(), IDYES), 1000);  // may not return cleanly: the program ends
  if (!process.WaitExit(10000)) {
    Report::Note(label + ": still running 10 s after Yes; terminating the process");
    process.Kill();
  }
}

std::string Session::Launch(const Planted& planted, const std::string& program) {
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  for (const auto& [name, text] : planted) WriteText(kSettingsKey, name, text);
  exe = program;
  trace = options.trace_dir.empty() ? "" : options.trace_dir + "\\" + label + ".trace";
  DeleteFileA(trace.c_str());
  std::string why;
  const ULONGLONG t0 = GetTickCount64();
  if (!process.Start("\"" + exe + "\"", trace, &why)) return why;
  WaitFor(kWindowTimeoutMs, [&] {
    main = FindForm(process.pid(), "frmTimer");
    const bool shown = main != nullptr && IsWindowVisible(main);
    if (HWND splash = Form("frmSplash")) {
      splash_with_main |= shown;
      if (splash_ms < 0) {
        splash_ms = static_cast<int64_t>(GetTickCount64() - t0);
        splash_product = TextOf(FindControl(splash, "lblProductName"));
        Shot("frmSplash", "splash")(*this);
      }
    }
    return shown || !process.Running();
  });
  main_ms = static_cast<int64_t>(GetTickCount64() - t0);
  DWORD code = 0;
  if (process.WaitExit(0, &code))
    return "the program ended (exit code " + std::to_string(code) + ") before showing frmTimer";
  if (main == nullptr || !IsWindowVisible(main))
    return "no visible frmTimer after " + std::to_string(kWindowTimeoutMs) + " ms";
  Report::Note(label + ": frmTimer visible " + std::to_string(main_ms) + " ms after the start");
  return "";
}

HWND Session::Form(const std::string& name) const {
  if (name == "frmTimer") return main;
  HWND f = FindForm(process.pid(), name);
  return f != nullptr && IsWindowVisible(f) ? f : nullptr;
}

HWND Session::Ctl(const std::string& form, const std::string& name) const {
  HWND f = Form(form);
  return f ? FindControl(f, name) : nullptr;
}

void RunSteps(Report& r, const Options& o, const std::string& label, const Planted& planted,
              const std::vector<Step>& steps) {
  Session s(r, o, label);
  const std::string why = s.Launch(planted, o.exe);
  if (why.empty())
    Play(s, steps);
  else
    r.Check(label + ".launch", false, why);
}

void RunSteps(Report& r, const Options& o, const std::string& label,
              const std::vector<Step>& steps) {
  Session s(r, o, label);
  Play(s, steps);
}

int RunGroups(const std::vector<Group>& groups, const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::string next = i + 1 < args.size() ? ToWindowsPath(args[i + 1]) : "";
    std::string* option = a == "--setup"       ? &o.setup
                          : a == "--trace-dir" ? &o.trace_dir
                          : a == "--shot-dir"  ? &o.shot_dir
                          : a == "--wav"       ? &o.wav
                          : a == "--only"      ? &o.only
                                               : nullptr;
    if (option != nullptr && !next.empty()) {
      *option = next;
      ++i;
    } else if (a[0] != '-' && o.exe.empty()) {
      o.exe = ToWindowsPath(a);
    } else {
      o.exe.clear();
      break;
    }
  }
  std::string names;
  for (const Group& g : groups) names += std::string(names.empty() ? "" : "|") + g.name;
  if (o.exe.empty()) {
    std::fprintf(stderr,
                 "arguments: EXE [--setup FILE] [--trace-dir DIR] [--shot-dir DIR] [--wav FILE] "
                 "[--only %s]\n",
                 names.c_str());
    return 2;
  }
  Report r;
  for (const Group& g : groups)
    if (o.only.empty() || o.only == g.name) g.run(r, o);
  // Leave no settings behind for whoever uses this prefix next.
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  std::printf("%d passed, %d failed\n", r.passed, r.failed);
  std::fflush(stdout);
  return r.failed == 0 && r.passed > 0 ? 0 : 1;
}

// --- Expectations.

Expect All(std::vector<Expect> all) {
  return [all = std::move(all)](Session& s) {
    std::string seen;
    for (const Expect& e : all) {
      const std::string one = e(s);
      if (!one.empty()) seen += (seen.empty() ? "" : "; ") + one;
    }
    return seen;
  };
}

Expect Holds(std::function<bool(Session&, std::string&)> ok) {
  return [ok](Session& s) {
    std::string seen;
    return ok(s, seen) ? "" : seen.empty() ? "failed" : seen;
  };
}

Expect That(std::function<bool()> ok, const std::string& otherwise) {
  return [=](Session&) { return ok() ? "" : otherwise; };
}

Expect Shows(const std::string& hhmmss) {
  return Displays([=](auto& shown, auto&) { return shown == hhmmss; }, Quote(hhmmss));
}

Expect ShowsBelow(int seconds) {
  return Displays(
      [=](auto& shown, auto&) { return SecondsOf(shown) >= 0 && SecondsOf(shown) < seconds; },
      "below " + std::to_string(seconds) + " s");
}

Expect ShowsAtLeast(int seconds) {
  return Displays([=](auto& shown, auto&) { return SecondsOf(shown) >= seconds; },
                  std::to_string(seconds) + " s or more");
}

Expect CountsDown(int seconds) {
  return Displays(
      [=](auto& shown, auto& first) { return SecondsOf(shown) == SecondsOf(first) - seconds; },
      std::to_string(seconds) + " s below the first");
}

Expect StandsStill() {
  return Displays([](auto& shown, auto& first) { return shown == first; }, "no change");
}

Expect Visible(const std::string& form, bool visible) {
  return Is(form, "", IsWindowVisible, visible, "shown", "not shown");
}

Expect Iconic(bool iconic) {
  return Is("frmTimer", "", IsIconic, iconic, "minimized", "not minimized");
}

Expect Topmost(bool topmost) {
  auto test = [](HWND h) -> BOOL { return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  return Is("frmTimer", "", test, topmost, "topmost", "not topmost");
}

Expect Enabled(const std::string& form, const std::string& control, bool enabled) {
  return Is(form, control, IsWindowEnabled, enabled, "enabled", "disabled");
}

Expect Shown(const std::string& form, const std::string& control, bool shown) {
  return Is(form, control, IsWindowVisible, shown, "shown", "hidden");
}

Expect Text(const std::string& form, const std::string& control, const std::string& text) {
  return [=](Session& s) {
    HWND h = control.empty() ? s.Form(form) : s.Ctl(form, control);
    if (h == nullptr) return form + "." + control + " is missing";
    const std::string shown = TextOf(h);
    return shown == text ? "" : Expected(form + "." + control, Quote(shown), Quote(text));
  };
}

Expect Stored(const std::string& name, const std::string& text) {
  return [=](Session&) {
    const RegValue v = ReadValue(kSettingsKey, name);
    return v.present && v.type == REG_SZ && v.data == text + '\0'
               ? ""
               : Expected(name, Seen(v), Quote(text));
  };
}

Expect RunEntry(bool present) {
  return [present](Session& s) {
    const RegValue v = ReadValue(kRunKey, "Unwindle");
    char full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameA(s.exe.c_str(), sizeof full, full, nullptr);
    const std::string want =
        "\"" + (n > 0 && n < sizeof full ? std::string(full, n) : s.exe) + "\"";
    const bool ok =
        present ? v.present && v.type == REG_SZ && Lower(v.text) == Lower(want) : !v.present;
    return ok ? "" : Expected("Run\\Unwindle", Seen(v), present ? Quote(want) : "missing");
  };
}

Expect Asks(const std::string& text) {
  return [text](Session& s) {
    HWND box = s.Box();
    if (box == nullptr) return std::string("no message box is open");
    const std::string asked = MessageBoxText(box);
    return asked == text ? "" : Expected("the message box", Quote(asked), Quote(text));
  };
}

Expect NoBox() {
  return [](Session& s) {
    HWND box = s.Box();
    return box ? "a message box asks " + Quote(MessageBoxText(box)) : std::string();
  };
}

Expect Ended(int exitCode) {
  return [exitCode](Session& s) {
    DWORD code = 0;
    if (!s.process.WaitExit(0, &code)) return std::string("the program still runs");
    return exitCode < 0 || code == static_cast<DWORD>(exitCode)
               ? ""
               : Expected("the exit code", std::to_string(code), std::to_string(exitCode));
  };
}

Expect Traced(const std::string& event, const std::vector<std::string>& fields, size_t count,
              bool exactly) {
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

Expect States(const std::vector<std::string>& states) {
  return [states](Session& s) {
    std::string seen, want;
    size_t next = 0;
    for (const auto& l : Matching(s.Trace(), "cycle.state")) {
      if (l.fields.empty()) continue;
      seen += " " + l.fields[0];
      if (next < states.size() && l.fields[0] == states[next]) ++next;
    }
    for (const auto& st : states) want += " " + st;
    return next == states.size() ? "" : Expected("the cycle went", Quote(seen), Quote(want));
  };
}

Expect InFront(bool own) {
  return [own](Session& s) {
    HWND front = GetForegroundWindow();
    return front != nullptr && front == (own ? s.own.hwnd : s.main)
               ? ""
               : "the window in front is " + Quote(TextOf(front)) + " (expected " +
                     (own ? "the driver's own)" : "frmTimer)");
  };
}

// --- Actions.

Action Start(const std::string& program, Planted planted) {
  return [=](Session& s) { return (s.error = s.Launch(planted, program)).empty(); };
}

Action Press(const std::string& form, const std::string& control) {
  return [=](Session& s) { return ClickButton(s.Ctl(form, control)); };
}

Action Invoke(const std::string& form, const std::string& control) {
  return [=](Session& s) { return e2e::Invoke(s.Form(form), control); };
}

Action InvokeLater(const std::string& form, const std::string& control) {
  return [=](Session& s) { return e2e::Invoke(s.Form(form), control, false); };
}

Action CloseBox(const std::string& form) {
  return [form](Session& s) {
    HWND f = s.Form(form);
    return f != nullptr && PostMessageA(f, WM_CLOSE, 0, 0);
  };
}

Action Answer(int id) {
  return [id](Session& s) {
    HWND box = s.Box();
    if (box) ClickButton(GetDlgItem(box, id), 1000);  // may not return: the answer may end it
    return box != nullptr;
  };
}

Action Type(const std::string& form, const std::string& control, const std::string& text) {
  return [=](Session& s) {
    DWORD_PTR result = 0;
    HWND c = s.Ctl(form, control);
    return c &&
           SendMessageTimeoutA(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_ABORTIFHUNG, 2000, &result) &&
           result;
  };
}

Action Key(const std::string& form, WORD vk) {
  // Posted to the control with the focus, so that it goes through the program's message loop
  // like a typed key.
  return [=](Session& s) {
    HWND target = s.Form(form);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (target && GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &info) &&
        info.hwndFocus)
      target = info.hwndFocus;
    const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM up = down | LPARAM{3} << 30;
    return target && PostMessageA(target, WM_KEYDOWN, vk, down) &&
           PostMessageA(target, WM_KEYUP, vk, up);
  };
}

Action TrayClick() {
  return [](Session& s) {
    const std::vector<RECT> icons = TrayIcons();
    if (icons.empty()) s.error = "no icon in the \"Wine System Tray\" window";
    return !icons.empty() &&
           Request(s.options, "tray-click",
                   "click " + std::to_string((icons[0].left + icons[0].right) / 2) + " " +
                       std::to_string((icons[0].top + icons[0].bottom) / 2));
  };
}

Action Shot(const std::string& form, const std::string& name) {
  return [=](Session& s) {
    HWND f = s.Form(form);
    RECT r{};
    if (s.options.shot_dir.empty() || f == nullptr || !GetWindowRect(f, &r)) return true;
    // A window that has just appeared may not have painted all of itself yet: wait until nothing
    // is left to paint and the program has been back in its message loop since (Wine puts what
    // was painted on the screen before it waits for messages).
    const bool painted = WaitFor(2000, [&] {
      for (HWND h : Children(f))
        if (GetUpdateRect(h, nullptr, FALSE)) return false;
      return !GetUpdateRect(f, nullptr, FALSE);
    });
    DWORD_PTR result = 0;
    if (!painted || !SendMessageTimeoutA(f, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result))
      Report::Note(name + ": the window was still painting");
    char line[96];
    std::snprintf(line, sizeof line, "shot %ld %ld %ld %ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    Request(s.options, name, line);
    return true;
  };
}

Action Then(std::vector<Action> all) {
  return [all = std::move(all)](Session& s) {
    for (const Action& a : all)
      if (!a(s)) return false;
    return true;
  };
}

Action OpenOwnWindow(bool fullScreen) {
  return [fullScreen](Session& s) { return s.own.Open(fullScreen); };
}

Action CloseOwnWindow() {
  return [](Session& s) {
    s.own.Close();
    return true;
  };
}

Action Notify(UINT msg, WPARAM wParam) {
  return [msg, wParam](Session& s) {
    for (HWND h : TopLevelWindows(s.process.pid()))
      if (ClassOf(h) == "Unwindle.Presence") return PostMessageW(h, msg, wParam, 0) != FALSE;
    return false;
  };
}

Action PressKey(const std::string& name) {
  return [name](Session& s) { return Request(s.options, "key", "key " + name); };
}

bool Request(const Options& options, const std::string& name, const std::string& line) {
  if (options.shot_dir.empty()) return false;
  const std::string base = options.shot_dir + "\\" + name;
  const std::string partial = base + ".partial", request = base + ".request", done = base + ".done";
  DeleteFileA(done.c_str());
  FILE* f = std::fopen(partial.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
  // Renamed into place, so that the watcher never reads half a line.
  if (!MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  const bool answered =
      WaitFor(10000, [&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
  if (!answered) Report::Note("nobody answered " + request + " (\"" + line + "\")");
  DeleteFileA(request.c_str());
  DeleteFileA(done.c_str());
  return answered;
}

}  // namespace e2e
