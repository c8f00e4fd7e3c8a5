#include "session.h"

#include <cstdio>
#include <memory>

namespace e2e {

namespace {

// The start waits for the five-second splash: allow for it and a cold Wine.
constexpr int kWindowTimeoutMs = 25000;

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return (n > 0 && n < sizeof buf) ? std::string(buf, n) : path;
}

// Windows paths compare without regard to case (ASCII is enough for ours).
std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Seen(const RegValue& v) {
  if (!v.present) return "missing";
  std::string out = Quote(v.text);
  if (v.type != REG_SZ) out += " (type " + std::to_string(v.type) + ")";
  if (v.size != v.text.size() + 1) out += " (" + std::to_string(v.size) + " bytes stored)";
  return out;
}

std::string Expected(const std::string& what, const std::string& seen, const std::string& want) {
  return what + " " + seen + " (expected " + want + ")";
}

LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

bool OwnWindow::Open(bool fullScreen) {
  Close();
  fullScreen_ = fullScreen;
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        auto* self = static_cast<OwnWindow*>(p);
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OwnWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"UnwindleE2eOwnWindow";
        RegisterClassW(&wc);
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        self->hwnd_ = self->fullScreen_
                          ? CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Full screen",
                                            WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr, nullptr,
                                            wc.hInstance, nullptr)
                          : CreateWindowExW(0, wc.lpszClassName, L"Typing here",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300,
                                            nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(self->hwnd_);
        SetEvent(self->ready_);
        MSG m;
        while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
        return 0;
      },
      this, 0, nullptr);
  WaitForSingleObject(ready_, 5000);
  return hwnd_ != nullptr && WaitFor(3000, [&] { return GetForegroundWindow() == hwnd_; });
}

void OwnWindow::Close() {
  if (thread_) {
    if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
  }
  if (ready_) CloseHandle(ready_);
  thread_ = ready_ = nullptr;
  hwnd_ = nullptr;
}

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return out + "\"";
}

bool Report::Check(const std::string& name, bool ok, const std::string& detail) {
  ++(ok ? passed_ : failed_);
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

Session::Session(Report& report, const Options& options, std::string label)
    : report_(report), options_(options), label_(std::move(label)) {}

Session::~Session() {
  if (!process_.Running()) return;
  if (!InvokePost(main_, "mnuExit") || !WaitFor(5000, [&] { return Box() != nullptr; })) {
    Report::Note(label_ + ": no exit question; terminating the process");
    process_.Kill();
    return;
  }
  ClickButton(GetDlgItem(Box(), IDYES), 1000);  // may not return cleanly: the program ends
  DWORD code = 0;
  if (!process_.WaitExit(10000, &code)) {
    Report::Note(label_ + ": still running 10 s after Yes; terminating the process");
    process_.Kill();
  }
}

bool Session::Launch(const std::vector<std::pair<std::string, std::string>>& planted) {
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  for (const auto& [name, text] : planted) WriteText(kSettingsKey, name, text);
  trace_ = options_.trace_dir.empty() ? "" : options_.trace_dir + "\\" + label_ + ".trace";
  if (!trace_.empty()) DeleteFileA(trace_.c_str());
  std::string error;
  const int64_t t0 = NowMs();
  if (!process_.Start(options_.exe, trace_, &error))
    return report_.Check(label_ + ".launch", false, error);
  WaitFor(kWindowTimeoutMs, [&] {
    main_ = FindForm(process_.pid(), "frmTimer");
    const bool shown = main_ != nullptr && IsWindowVisible(main_);
    if (HWND splash = Form("frmSplash")) {
      splash_with_main |= shown;
      if (splash_ms < 0) {
        splash_ms = NowMs() - t0;
        splash_product = TextOf(FindControl(splash, "lblProductName"));
        Shot("frmSplash", "splash")(*this);
      }
    }
    return shown || !process_.Running();
  });
  main_ms = NowMs() - t0;
  if (main_ != nullptr && IsWindowVisible(main_) && process_.Running()) {
    Report::Note(label_ + ": frmTimer visible " + std::to_string(main_ms) + " ms after the start");
    return true;
  }
  DWORD code = 0;
  return report_.Check(
      label_ + ".launch", false,
      process_.WaitExit(0, &code)
          ? "the program ended (exit code " + std::to_string(code) + ") before showing frmTimer"
          : "no visible frmTimer after " + std::to_string(kWindowTimeoutMs) + " ms");
}

HWND Session::Form(const std::string& name) const {
  HWND f = FindForm(process_.pid(), name);
  return f != nullptr && IsWindowVisible(f) ? f : nullptr;
}

HWND Session::Ctl(const std::string& form, const std::string& name) const {
  HWND f = form == "frmTimer" ? main_ : Form(form);
  return f ? FindControl(f, name) : nullptr;
}

void RunSteps(Report& r, const Options& o, const std::string& label,
              const std::vector<std::pair<std::string, std::string>>& planted,
              const std::vector<Step>& steps) {
  Session s(r, o, label);
  if (!s.Launch(planted)) return;
  int n = 0;
  for (const Step& step : steps) {
    ++n;
    const std::string name = step.check.empty() ? label + ".step" + std::to_string(n) : step.check;
    if (step.act) {
      if (!step.act(s)) {
        r.Check(name, false, "could not act (a window or control is missing)");
        return;
      }
      s.acted_ms = NowMs();
    }
    if (!step.expect) continue;
    std::string seen;
    auto holds = [&] { return (seen = step.expect(s)).empty(); };
    const bool ok = step.holds ? HoldsFor(step.ms, holds) : WaitFor(step.ms, holds);
    if (!step.check.empty() || !ok) r.Check(name, ok, seen);
    if (!ok && (step.vital || step.check.empty())) return;
  }
}

// --- Expectations.

Expect All(std::vector<Expect> all) {
  return [all = std::move(all)](Session& s) {
    std::string seen;
    for (const Expect& e : all) {
      std::string one = e(s);
      if (!one.empty()) seen += (seen.empty() ? "" : "; ") + one;
    }
    return seen;
  };
}

Expect Shows(const std::string& hhmmss) {
  return [hhmmss](Session& s) {
    const std::string shown = s.Display();
    return shown == hhmmss ? "" : Expected("the display", Quote(shown), Quote(hhmmss));
  };
}

Expect ShowsBelow(int seconds) {
  return [seconds](Session& s) {
    const std::string shown = s.Display();
    const int secs = SecondsOf(shown);
    return secs >= 0 && secs < seconds
               ? ""
               : Expected("the display", Quote(shown), "below " + std::to_string(seconds) + " s");
  };
}

Expect Visible(const std::string& form, bool visible) {
  return [form, visible](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : FindForm(s.process().pid(), form);
    const bool shown = f != nullptr && IsWindowVisible(f);
    return shown == visible ? "" : form + (shown ? " is shown" : " is not shown");
  };
}

Expect Iconic(bool iconic) {
  return [iconic](Session& s) {
    return (IsIconic(s.main()) != FALSE) == iconic
               ? ""
               : std::string("frmTimer is ") + (iconic ? "not minimized" : "minimized");
  };
}

Expect Topmost(bool topmost) {
  return [topmost](Session& s) {
    const bool on = (GetWindowLongA(s.main(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    return on == topmost ? "" : std::string("frmTimer is ") + (on ? "" : "not ") + "topmost";
  };
}

Expect Text(const std::string& form, const std::string& control, const std::string& text) {
  return [=](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : s.Form(form);
    HWND c = control.empty() ? f : (f ? FindControl(f, control) : nullptr);
    if (c == nullptr) return form + "." + control + " is missing";
    const std::string shown = TextOf(c);
    return shown == text ? "" : Expected(form + "." + control, Quote(shown), Quote(text));
  };
}

Expect Enabled(const std::string& form, const std::string& control, bool enabled) {
  return [=](Session& s) {
    HWND c = s.Ctl(form, control);
    if (c == nullptr) return form + "." + control + " is missing";
    return (IsWindowEnabled(c) != FALSE) == enabled
               ? ""
               : form + "." + control + (enabled ? " is disabled" : " is enabled");
  };
}

Expect Shown(const std::string& form, const std::string& control, bool shown) {
  return [=](Session& s) {
    HWND c = s.Ctl(form, control);
    if (c == nullptr) return form + "." + control + " is missing";
    return (IsWindowVisible(c) != FALSE) == shown
               ? ""
               : form + "." + control + (shown ? " is hidden" : " is shown");
  };
}

Expect Stored(const std::string& name, const std::string& text) {
  return [=](Session&) {
    RegValue v = ReadValue(kSettingsKey, name);
    const bool ok = v.present && v.type == REG_SZ && v.text == text && v.size == text.size() + 1;
    return ok ? "" : Expected(name, Seen(v), Quote(text));
  };
}

Expect RunEntry(bool present) {
  return [present](Session& s) {
    RegValue v = ReadValue(kRunKey, "Unwindle");
    const std::string want = "\"" + FullPath(s.options().exe) + "\"";
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

Expect Ended(DWORD exitCode) {
  return [exitCode](Session& s) {
    DWORD code = 0;
    if (!s.process().WaitExit(0, &code)) return std::string("the program still runs");
    return code == exitCode
               ? ""
               : Expected("the exit code", std::to_string(code), std::to_string(exitCode));
  };
}

Expect Traced(const std::string& event, const std::vector<std::string>& fields, size_t count,
              bool exactly) {
  return [=](Session& s) {
    if (!s.tracing()) return std::string();
    const size_t found = Matching(s.Trace(), event, fields).size();
    std::string what = event;
    for (const auto& f : fields) what += " " + f;
    const bool ok = exactly ? found == count : found >= count;
    return ok ? ""
              : Expected(Quote(what) + " lines", std::to_string(found),
                         (exactly ? "" : "at least ") + std::to_string(count));
  };
}

Expect CountsDown(int seconds) {
  auto first = std::make_shared<int>(-1);
  return [=](Session& s) {
    const std::string shown = s.Display();
    if (*first < 0) *first = SecondsOf(shown);
    return SecondsOf(shown) == *first - seconds
               ? ""
               : Expected("the display", Quote(shown),
                          std::to_string(seconds) + " s below " + std::to_string(*first) + " s");
  };
}

Expect StandsStill() {
  auto first = std::make_shared<std::string>();
  return [=](Session& s) {
    const std::string shown = s.Display();
    if (first->empty()) *first = shown;
    return shown == *first ? "" : Expected("the display", Quote(shown), Quote(*first));
  };
}

Expect States(const std::vector<std::string>& states) {
  return [states](Session& s) {
    if (!s.tracing()) return std::string();
    std::string seen;
    size_t next = 0;
    for (const auto& l : Matching(s.Trace(), "cycle.state")) {
      if (l.fields.empty()) continue;
      seen += " " + l.fields[0];
      if (next < states.size() && l.fields[0] == states[next]) ++next;
    }
    std::string want;
    for (const auto& st : states) want += " " + st;
    return next == states.size() ? "" : Expected("the cycle went", Quote(seen), Quote(want));
  };
}

Expect OwnWindowInFront() {
  return [](Session& s) {
    HWND front = GetForegroundWindow();
    return front != nullptr && front == s.own.hwnd()
               ? ""
               : "the window in front is " + Quote(TextOf(front)) + " (expected the driver's own)";
  };
}

// --- Actions.

Action Press(const std::string& form, const std::string& control) {
  return [=](Session& s) {
    HWND c = s.Ctl(form, control);
    return c != nullptr && ClickButton(c);
  };
}

Action Invoke(const std::string& form, const std::string& control) {
  return [=](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : s.Form(form);
    return f != nullptr && e2e::Invoke(f, control);
  };
}

Action InvokeLater(const std::string& form, const std::string& control) {
  return [=](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : s.Form(form);
    return f != nullptr && InvokePost(f, control);
  };
}

Action CloseBox(const std::string& form) {
  return [form](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : s.Form(form);
    return f != nullptr && PostMessageA(f, WM_CLOSE, 0, 0);
  };
}

Action Answer(int id) {
  return [id](Session& s) {
    HWND box = s.Box();
    if (box == nullptr) return false;
    ClickButton(GetDlgItem(box, id), 1000);  // may not return: the answer may end the program
    return true;
  };
}

Action Type(const std::string& form, const std::string& control, const std::string& text) {
  return [=](Session& s) {
    HWND c = s.Ctl(form, control);
    return c != nullptr && SetText(c, text);
  };
}

Action Key(const std::string& form, WORD vk) {
  return [=](Session& s) {
    HWND f = s.Form(form);
    return f != nullptr && PostKey(f, vk);
  };
}

Action TrayClick() {
  return [](Session& s) {
    RECT r{};
    if (!WineTrayIconRect(&r)) {
      Report::Note(WineTrayWindow() ? "no icon in the \"Wine System Tray\" window"
                                    : "no \"Wine System Tray\" window");
      return false;
    }
    const long x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    return Request(s.options(), "tray-click",
                   "click " + std::to_string(x) + " " + std::to_string(y));
  };
}

Action Shot(const std::string& form, const std::string& name) {
  return [=](Session& s) {
    HWND f = form == "frmTimer" ? s.main() : FindForm(s.process().pid(), form);
    if (s.options().shot_dir.empty() || f == nullptr) return true;
    // A window that has just appeared may not have painted all of itself yet.
    if (!WaitPainted(f, 2000)) Report::Note(name + ": the window was still painting");
    RECT r{};
    if (!GetWindowRect(f, &r)) return true;
    char line[96];
    std::snprintf(line, sizeof line, "shot %ld %ld %ld %ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    Request(s.options(), name, line);
    return true;
  };
}

Action Then(std::vector<Action> all) {
  return [all = std::move(all)](Session& s) {
    for (const Action& a : all) {
      if (!a(s)) return false;
    }
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
    for (HWND h : TopLevelWindows(s.process().pid())) {
      if (ClassOf(h) == "Unwindle.Presence") return PostMessageW(h, msg, wParam, 0) != FALSE;
    }
    return false;
  };
}

Action PressKey(const std::string& name) {
  return [name](Session& s) { return Request(s.options(), "key", "key " + name); };
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
