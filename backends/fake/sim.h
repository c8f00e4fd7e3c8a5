// A whole program on the fake back end, driven like a user on a virtual
// clock: start it, let time pass, click named controls, answer questions.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>
#include <string>

#include "app/app.h"
#include "backends/fake/fake_calendar.h"
#include "backends/fake/fake_event_loop.h"
#include "backends/fake/fake_files.h"
#include "backends/fake/fake_languages.h"
#include "backends/fake/fake_presence.h"
#include "backends/fake/fake_settings_storage.h"
#include "backends/fake/fake_shell.h"
#include "backends/fake/fake_storage.h"
#include "backends/fake/fake_system.h"
#include "backends/fake/fake_view.h"
#include "platform/trace.h"

namespace unw {

struct FakePlatform {
  FakePlatform();
  Services services();

  FakeEventLoop loop;
  Trace trace;
  FakeView view;
  FakeDialogs dialogs;
  FakeWindowSystem windows;
  FakeWorkstation workstation;
  FakeNotificationArea tray;
  FakeSoundPlayer sound;
  FakeSystemMetrics metrics;
  FakeFileDialog files;
  FakeShell shell;
  FakePresence presence;
  FakeCalendar calendar;
  FakeStorage storage;
  FakeSettingsStorage settings;  // the stored settings
  FakeStartupLaunch startup;
  FakeAppearance appearance;
  FakeLanguages languages;
};

class Sim {
 public:
  Sim();
  ~Sim();

  FakePlatform fake;
  App& app() { return *app_; }

  // Starts the program and lets its five-second splash pass: the main window
  // has loaded and shows when this returns.
  void Start();
  // Starts the program and returns at once (the splash is showing).
  void Launch();
  void Advance(int64_t ms) { fake.loop.Advance(ms); }
  void AdvanceSeconds(int64_t s) { fake.loop.Advance(s * 1000); }
  int64_t now() { return fake.loop.NowMs(); }
  bool running() const { return started_ && !fake.loop.finished(); }

  // A loaded form by name, or null.
  Form* FindForm(const std::string& name) const;
  Form& form(const std::string& name) const;  // must be loaded
  Control& ctl(const std::string& form, const std::string& control, int index = -1) const;

  // Clicks a control or menu item as a user would: it must be enabled and
  // visible, and its window must take input (no modal window above it).
  // Items of the tray popup menu are reachable whenever the menu is.
  void Click(const std::string& form, const std::string& control, int index = -1);
  // Clicks bar `bar` of the chart a picture shows.
  void ClickChart(const std::string& form, const std::string& control, int bar);
  // Presses a key that steps along the chart a picture shows, the chart having the keyboard.
  void ChartKey(const std::string& form, const std::string& control, ChartStep step);
  // Clicks into a text box (it gets the focus) and types `keys` as a user would:
  // each key passes the box's key filter, replaces the selection, and stops at
  // the box's length limit; "\b" is Backspace.
  void Type(const std::string& form, const std::string& control, const std::string& keys);
  // Pastes `text` into a text box, passing no key filter.
  void Paste(const std::string& form, const std::string& control, const std::string& text);
  // The close box of a window.
  void Close(const std::string& form);
  // The user minimizes or restores a window.
  void SetState(const std::string& form, WindowState s);
  // Presses a button of the message box that is open; there must be one, with that button.
  void Answer(MessageAnswer button);
  // In the open file chooser: selects `path` (the preview hears of it).
  void SelectInChooser(const std::string& path);
  // In the open file chooser: presses "Play" or "Stop".
  void PressPreview(bool play);
  // Closes the open file chooser (or Save As dialog) with `path` chosen, or cancels it with "".
  void FinishChooser(const std::string& path);
  // The user clicks the tray icon (or the shell reports on it).
  void Tray(TrayEvent event);
  // The user goes away (the session locked, switched away) or comes back.
  void Away(AwayReason reason);
  void Back(AwayReason reason);
  // The machine sleeps for `ms`: no timer fires meanwhile.
  void Sleep(int64_t ms);
  // The user presses Enter: the window that has the keyboard gets it (nothing of the program's
  // when another program has it).
  void PressEnter();
  // The user brings a window of the program to the front (a click on it, Alt+Tab).
  void Activate(const std::string& form);
  // The session ends (log-off or shutdown).
  void EndSession();
  // Runs `action` once, on the program thread, as soon as the window `form`
  // is shown (after the code that showed it has gone on to wait for input).
  void WhenShown(const std::string& form, std::function<void(Form&)> action);
  // Runs `action` on the program thread now.
  void Do(std::function<void()> action) { fake.loop.Do(std::move(action)); }

 private:
  void WireOwnedDialogs();

  std::unique_ptr<App> app_;
  bool started_ = false;
  std::vector<std::pair<std::string, std::function<void(Form&)>>> whenShown_;
};

}  // namespace unw
