// The shell and the workstation on a Linux desktop: web pages and folders open with xdg-open
// (the desktop's own choice of program), the system's information tool is whichever the desktop
// has, the version is the one the program was built with; locking and the screen saver go to the
// session's screen saver over D-Bus (org.freedesktop.ScreenSaver, GNOME's own), then to logind.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/trace.h"
#include "platform/workstation.h"

namespace unw {

class LinuxShell : public Shell {
 public:
  // `infoTools`: the desktops' information tools to look for on the PATH, each a program and its
  // arguments, in order (empty: the known ones, the one of $XDG_CURRENT_DESKTOP first).
  explicit LinuxShell(Trace& trace, std::vector<std::vector<std::string>> infoTools = {});
  bool OpenWebPage(std::uintptr_t owner, const std::string& url) override;
  bool OpenSystemInformation() override;
  // Whether one of the information tools is on the PATH.
  bool HasSystemInformation() override;
  bool ProgramVersion(int& major, int& minor) override;
  // Opens a folder (or any file) with the desktop's program for it.
  bool OpenFolder(const std::string& path);

 private:
  Trace& trace_;
  std::vector<std::vector<std::string>> infoTools_;
};

class LinuxWorkstation : public Workstation {
 public:
  // `caretBlinkMs`: half the cursor's flash cycle, as the UI half reads it from the desktop.
  // `systemBus`, `sessionBus`: names of D-Bus connections the caller made; empty: the system's.
  explicit LinuxWorkstation(Trace& trace, unsigned caretBlinkMs = 500, QString systemBus = {},
                            QString sessionBus = {})
      : trace_(trace),
        caretBlinkMs_(caretBlinkMs),
        systemBus_(std::move(systemBus)),
        sessionBus_(std::move(sessionBus)) {}
  long LockWorkStation() override;
  void StartScreenSaver(std::uintptr_t window) override;
  // Locking: the session's screen saver on the bus, or a logind session to ask. The screen saver:
  // the session's on the bus.
  bool CanLock() override;
  bool CanStartScreenSaver() override;
  unsigned GetCaretBlinkTime() override { return caretBlinkMs_; }
  std::string AppPath() override;
  std::string AppExeName() override;

 private:
  Trace& trace_;
  unsigned caretBlinkMs_;
  QString systemBus_, sessionBus_;
};

// The full path of `program` found on the PATH; empty when it is not there.
std::string FindOnPath(const std::string& program);

}  // namespace unw
