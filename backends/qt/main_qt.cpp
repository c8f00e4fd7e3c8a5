// unwindle, the desktop program on Linux: builds the program's services from the Qt back end and
// hands them to the launch (app/launch.h), which runs the program until its last window is gone.
// With a command ("unwindle --pause 30", "unwindle /status") it is the command line, and prints
// what the running program answers.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QIcon>
#include <QPixmap>
#include <string>
#include <vector>

#include "app/launch.h"
#include "backends/qt/appearance_qt.h"
#include "backends/qt/automation_qt.h"
#include "backends/qt/dialogs_qt.h"
#include "backends/qt/event_loop_qt.h"
#include "backends/qt/file_dialog_qt.h"
#include "backends/qt/form_view_qt.h"
#include "backends/qt/notification_area_qt.h"
#include "backends/qt/pictures_qt.h"
#include "backends/qt/program_instance_linux.h"
#include "backends/qt/system_metrics_qt.h"
#include "backends/qt/system_services_linux.h"
#include "backends/qt/window_system_qt.h"
#include "platform/trace.h"
#include "resources/icons/program_icon.h"

namespace {

// "--pause 30" is "/pause 30": the command line reads the Windows forms.
std::vector<std::string> CommandArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a.rfind("--", 0) == 0 && a.size() > 2) a = "/" + a.substr(2);
    args.push_back(a);
  }
  return args;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : unw::kProgramIconSizes)
    icon.addPixmap(QPixmap::fromImage(unw::qt::ImageOf(unw::RenderProgramIcon(size))));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = CommandArguments(argc, argv);
  unw::LinuxProgramInstance instance;
  unw::LinuxConsole console;
  // /history reads the journal without a trace of its own.
  unw::Trace quiet(nullptr, "");
  unw::LinuxStorage history(quiet);
  unw::LinuxCalendar historyCalendar;
  unw::LinuxLanguages commandLanguages(quiet);
  unw::IniSettingsStorage commandSettings(quiet);
  unw::LaunchServices launch{instance, console, history, historyCalendar};
  launch.texts = unw::CommandLineTexts(commandSettings, commandLanguages);
  // With a command the program is the command line, as unwindle.com is on Windows: it prints the
  // answer (a bad one and the usage on standard error) and ends with its code. Only /start with
  // no program running becomes the program itself.
  if (const unw::CommandLine line = unw::ParseCommandLine(args);
      line.kind == unw::CommandLine::Kind::kBad ||
      (line.kind == unw::CommandLine::Kind::kCommand && line.command.verb != unw::Verb::kStart))
    return unw::RunCommandLine(args, launch);
  return unw::LaunchProgram(args, launch, [&](const std::optional<unw::Command>& startWith) {
    // X11 first: on a Wayland session the program runs through XWayland, where it can see the
    // window in front, place its windows itself and read idle time; a user may still choose
    // otherwise with QT_QPA_PLATFORM.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
      qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("unwindle"));
    QApplication::setOrganizationName(QStringLiteral("KORVANTE"));
    QApplication::setDesktopFileName(QStringLiteral("unwindle"));
    QApplication::setWindowIcon(ProgramIcon());
    // The program ends when its last form is unloaded, not when a window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    int rc = 0;
    {
      QElapsedTimer clock;
      clock.start();
      unw::Trace trace([&clock] { return clock.elapsed(); }, unw::Trace::PathFromEnvironment());
      unw::QtEventLoop loop(trace);
      unw::QtFormView view(trace);
      unw::QtDialogs dialogs(trace, view);
      unw::QtWindowSystem windows(trace, view);
      unw::QtNotificationArea tray(trace);
      tray.OfferMenus([&view](std::uintptr_t window) { return view.PopupMenuOf(window); });
      unw::QtSystemMetrics metrics;
      unw::QtFileDialog files(trace, view);
      unw::QtAppearance appearance(trace);
      unw::LinuxPresence::Options presenceOptions;
      // The work area of the monitor under the pointer, as Qt knows the screens.
      presenceOptions.pointerWorkArea = [] {
        const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen) screen = QGuiApplication::primaryScreen();
        const QRect r = screen ? screen->availableGeometry() : QRect();
        return unw::ScreenRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
      };
      const int flash = QGuiApplication::styleHints()->cursorFlashTime();
      unw::LinuxSystemServices sys(trace, loop, flash > 0 ? static_cast<unsigned>(flash / 2) : 500,
                                   std::move(presenceOptions));
      auto& [settingsStorage, storage, startupLaunch, shell, workstation, presence, sound, calendar,
             languages] = sys;
      unw::QtAutomation automation(trace, view);
      automation.Serve();
      // Windows still open after the last form's loop go while their forms exist.
      rc = unw::RunProgram(unw::Services{loop, view, dialogs, windows, workstation, tray, sound,
                                         metrics, files, shell, presence, calendar, trace, storage,
                                         settingsStorage, startupLaunch, appearance, languages},
                           instance, startWith, [&view] { view.DestroyAll(); });
    }
    return rc;
  });
}
