// unwindle.exe: builds the program's services from the Win32 back end and
// runs the program until its last window is gone.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "platform/trace.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/file_dialog_win32.h"
#include "platform/win32/form_view_win32.h"
#include "platform/win32/notification_area_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/sound_win32.h"
#include "platform/win32/system_metrics_win32.h"
#include "platform/win32/window_system_win32.h"
#include "platform/win32/workstation_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  // COM only serves the task bar button; the program runs without it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  int rc = 0;
  {
    unw::Win32Clock clock;
    unw::Trace trace([&clock] { return clock.NowMs(); }, unw::Trace::PathFromEnvironment());
    unw::Win32Registry registry(trace);
    unw::Win32EventLoop loop(clock, trace);
    unw::Win32FormView view(trace);
    unw::Win32Dialogs dialogs(trace);
    unw::Win32WindowSystem windows(trace, view);
    unw::Win32Workstation workstation(trace);
    unw::Win32NotificationArea tray(trace, view);
    unw::Win32SoundPlayer sound(trace);
    unw::Win32SystemMetrics metrics;
    unw::Win32FileDialog files(trace);
    unw::Win32Shell shell(trace);
    loop.SetPreTranslate([&view](MSG& msg) { return view.PreTranslate(msg); });

    unw::App app(unw::Services{registry, loop, view, dialogs, windows, workstation, tray, sound,
                               metrics, files, shell, trace});
    rc = app.Run();
    // Windows still open after a quit message go while their forms exist.
    view.DestroyAll();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return rc;
}
