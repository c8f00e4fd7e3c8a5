// unwindle.exe: builds the program's services from the Win32 back end and
// runs the program until its last window is gone; a second start in the same
// session only brings the running program forward. With a command
// ("unwindle.exe /pause 30") it is the command line without output: the
// running program carries it out and the exit code tells how it went.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "app/command_dispatch.h"
#include "app/command_line.h"
#include "app/frm_timer.h"
#include "platform/trace.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/clock_win32.h"
#include "backends/win32/command_client.h"
#include "backends/win32/dialogs_win32.h"
#include "backends/win32/event_loop_win32.h"
#include "backends/win32/file_dialog_win32.h"
#include "backends/win32/form_view_win32.h"
#include "backends/win32/notification_area_win32.h"
#include "backends/win32/presence_win32.h"
#include "backends/win32/settings_storage_win32.h"
#include "backends/win32/shell_win32.h"
#include "backends/win32/single_instance.h"
#include "backends/win32/sound_win32.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/system_metrics_win32.h"
#include "backends/win32/window_system_win32.h"
#include "backends/win32/workstation_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using Kind = unw::CommandLine::Kind;
  const unw::CommandLine args = unw::ParseCommandLine(unw::win32::CommandArguments());
  if (args.kind == Kind::kBad) return unw::kExitBadUsage;
  const bool command = args.kind == Kind::kCommand;
  if (command && args.command.verb == unw::Verb::kHelp) return unw::kExitDone;
  if (command && args.command.verb == unw::Verb::kHistory) {
    // Printed only where the caller gave this program an output (a script's redirection).
    const unw::Reply reply = unw::win32::HistoryReply(args.command);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (reply.code == unw::kExitDone && out && out != INVALID_HANDLE_VALUE)
      WriteFile(out, reply.line.data(), static_cast<DWORD>(reply.line.size()), &written, nullptr);
    return reply.code;
  }
  // /start with no program running starts this one; every other command goes to the running one.
  if (command) {
    const int code = unw::win32::SendCommand(args.command).code;
    if (code != unw::kExitNotRunning || args.command.verb != unw::Verb::kStart) return code;
  }
  unw::win32::SingleInstance instance;
  if (!instance.Claim(!command)) return command ? unw::win32::SendCommand(args.command).code : 0;

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  // COM only serves the task bar button; the program runs without it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  int rc = 0;
  {
    unw::Win32Clock clock;
    unw::Trace trace([&clock] { return clock.NowMs(); }, unw::Trace::PathFromEnvironment());
    unw::Win32EventLoop loop(clock, trace);
    unw::Win32FormView view(trace);
    unw::Win32Dialogs dialogs(trace);
    unw::Win32WindowSystem windows(trace, view);
    unw::Win32Workstation workstation(trace);
    unw::Win32NotificationArea tray(trace, view);
    unw::Win32SoundPlayer sound(trace, loop);
    unw::Win32SystemMetrics metrics;
    unw::Win32FileDialog files(trace);
    unw::Win32Shell shell(trace);
    unw::Win32Presence presence(trace);
    unw::Win32Calendar calendar;
    unw::Win32Storage storage(trace);
    unw::Win32SettingsStorage settingsStorage(trace);
    unw::Win32StartupLaunch startupLaunch(trace);
    loop.SetPreTranslate([&view](MSG& msg) { return view.PreTranslate(msg); });

    unw::App app(unw::Services{loop, view, dialogs, windows, workstation, tray, sound, metrics,
                               files, shell, presence, calendar, trace, storage, settingsStorage,
                               startupLaunch});
    // Requests from outside are followed only while the main window takes input: not during the
    // splash (the main window comes after it anyway), nor while a prompt, a dialog or a message box
    // waits for an answer. Bringing the window back is what a click on the tray icon does.
    auto ready = [&app] {
      return app.ui.Find("frmTimer") && !app.ui.Find("frmSplash") &&
             IsWindowEnabled(reinterpret_cast<HWND>(app.frmTimer().hWnd()));
    };
    unw::win32::InstanceWindow requests(
        trace,
        [&app, ready] {
          if (!ready()) return false;
          app.trayActions.RestoreFromTray();
          return true;
        },
        [&app, ready] { return ready() && app.frmTimer().Unload(unw::kUnloadAppTaskManager); },
        [&app](const unw::Command& c) { return unw::DispatchCommand(app, c); });
    if (command) requests.RunWhenReady(args.command, ready);
    rc = app.Run();
    // Windows still open after a quit message go while their forms exist.
    view.DestroyAll();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return rc;
}
