// One program per user session on a Linux desktop. The first start holds an exclusive flock on
// $XDG_RUNTIME_DIR/KORVANTE.Unwindle.lock (the system lets go of it when the program ends, a crash
// included, so a lock left behind blocks nobody) and listens on the local socket
// $XDG_RUNTIME_DIR/KORVANTE.Unwindle.socket, which only the user can reach (the folder is the
// user's own, the socket is 0600, and a peer of another user is turned away by its credentials).
//
// What travels is a frame: a kind byte ('A' a second start asks to see the program, 'X' something
// asks it to end, 'C' a command), the length of the text as four bytes (little-endian) and the
// text, at most kMaxFrameBytes; larger is refused before a byte of it is read. The program
// answers 'A' and 'X' with an empty frame once it has taken them, and a command with its answer,
// a length and the bytes; then it closes the connection. Commands are carried out from the
// program's loop, one at a time, in the order they came; the answer is written without waiting,
// so no sender holds the program up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/program_instance.h"

namespace unw {

inline constexpr char kInstanceLockName[] = "KORVANTE.Unwindle.lock";
inline constexpr char kInstanceSocketName[] = "KORVANTE.Unwindle.socket";
inline constexpr uint32_t kMaxFrameBytes = 4096;

class InstanceListener;

class LinuxProgramInstance : public ProgramInstance {
 public:
  // `runtime` empty: RuntimeDir() (XDG_RUNTIME_DIR); `program` empty: the running program.
  explicit LinuxProgramInstance(std::string runtime = "", std::string program = "");
  ~LinuxProgramInstance() override;
  LinuxProgramInstance(const LinuxProgramInstance&) = delete;
  LinuxProgramInstance& operator=(const LinuxProgramInstance&) = delete;

  bool Claim(bool bringForward) override;
  // Needs the thread's Qt event loop (a QCoreApplication or a QThread's): the socket is watched by
  // a QSocketNotifier of the thread that calls it.
  void Serve(InstanceRequests& requests, Trace& trace) override;
  void StopServing() override;
  Delivered Send(std::string_view command, Patience patience,
                 const std::function<bool(std::string_view)>& isAnswer) override;
  Started Start(std::string_view arguments) override;
  int64_t NowMs() override;
  void Sleep(int ms) override;

  // Asks the running program to end, as a package's removal does: false when none took it.
  bool RequestExit();

 private:
  std::string LockPath() const { return runtime_ + "/" + kInstanceLockName; }
  std::string SocketPath() const { return runtime_ + "/" + kInstanceSocketName; }
  // Whether some program holds the claim (this object's own claim included).
  bool Claimed();

  std::string runtime_, program_;
  int lock_ = -1;  // the claim while held
  std::unique_ptr<InstanceListener> listener_;
};

// Where a command line prints: its output to stdout, its errors to stderr, as they are.
class LinuxConsole : public Console {
 public:
  void Out(std::string_view text) override;
  void Err(std::string_view text) override;
};

}  // namespace unw
