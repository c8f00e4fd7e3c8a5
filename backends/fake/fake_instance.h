// The user's session as the fake's copies of the program see it: who holds the claim, who serves,
// what the command line starts. Each copy is a FakeProgramInstance on one FakeSession; the one
// that serves is reached on its program's thread, as the real one is.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/program_instance.h"

namespace unw {

class FakeProgramInstance;

struct FakeSession {
  // Runs `work` on the serving program's thread and returns once it is done (a Sim's Do); by
  // default here and now.
  std::function<void(const std::function<void()>&)> onProgramThread;
  // What a start of the program does with its arguments: a program the test then runs, or none
  // (it cannot be started: `startError`).
  std::function<std::unique_ptr<StartedProgram>(const std::string& arguments)> start;
  unsigned long startError = 2;  // the system's "file not found"
  std::string programPath = "C:\\Program Files\\KORVANTE\\Unwindle\\unwindle.exe";
  // The arguments of every start asked for.
  std::vector<std::string> starts;
  // The command line's clock, and what passes while it waits (the program's time, in a test
  // that runs one). By default only the clock moves.
  int64_t now = 0;
  std::function<void(int ms)> sleep;

  // What the installer does: asks the running program to exit. False when none serves.
  bool RequestExit();
  // Runs what was handed to a program that serves without a loop of its own.
  void RunPosted();

  FakeProgramInstance* claimedBy = nullptr;
  FakeProgramInstance* serving = nullptr;
  std::deque<std::function<void()>> posted;
};

class FakeProgramInstance : public ProgramInstance {
 public:
  // `loop`: the program's loop, where activation and exit requests arrive (none: the session's
  // `posted`, run by RunPosted).
  explicit FakeProgramInstance(FakeSession& session, EventLoop* loop = nullptr);
  ~FakeProgramInstance() override;
  FakeProgramInstance(const FakeProgramInstance&) = delete;
  FakeProgramInstance& operator=(const FakeProgramInstance&) = delete;

  bool Claim(bool bringForward) override;
  void Serve(InstanceRequests& requests, Trace& trace) override;
  void StopServing() override;
  Delivered Send(std::string_view command, Patience patience,
                 const std::function<bool(std::string_view)>& isAnswer) override;
  Started Start(std::string_view arguments) override;
  int64_t NowMs() override { return session_.now; }
  void Sleep(int ms) override;

  // Hands `request` to the program's loop, on its thread (dropped if it stops serving first).
  void Post(std::function<void(InstanceRequests&)> request);

  // Every command text this copy sent.
  std::vector<std::string> sent;

 private:
  void OnProgramThread(const std::function<void()>& work);

  FakeSession& session_;
  EventLoop* loop_;
  // What it serves, shared with the work handed to its loop (null once it stops serving).
  std::shared_ptr<InstanceRequests*> requests_;
};

// What a command line printed.
struct FakeConsole : Console {
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }
  std::string out, err;
};

}  // namespace unw
