// The session's one program on Linux: the same contract as the fake session and the Windows
// instance window, with the running program on a Qt thread of its own in a runtime folder of the
// test's own; and what only the socket can get: a crash's leftovers, hostile frames.
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QThread>
#include <cstring>
#include <functional>
#include <memory>

#include "app/command_line.h"
#include "app/launch.h"
#include "backends/qt/calendar_linux.h"
#include "backends/qt/program_instance_linux.h"
#include "backends/qt/storage_linux.h"
#include "linux_test_folder.h"
#include "program_instance_contract.h"

namespace unw {
namespace {

// The running program's thread and its Qt loop.
class ProgramThread {
 public:
  ProgramThread() {
    thread_.start();
    context_.moveToThread(&thread_);
  }
  ~ProgramThread() {
    thread_.quit();
    thread_.wait();
  }
  ProgramThread(const ProgramThread&) = delete;
  ProgramThread& operator=(const ProgramThread&) = delete;
  void Run(const std::function<void()>& work) {
    QMetaObject::invokeMethod(&context_, work, Qt::BlockingQueuedConnection);
  }

 private:
  QThread thread_;
  QObject context_;
};

struct LinuxInstanceFixture : ::testing::Test {
  LinuxInstanceFixture() { folder.UseForXdg(); }
  std::unique_ptr<ProgramInstance> NewCopy() {
    return std::make_unique<LinuxProgramInstance>(folder.root() + "/runtime");
  }
  void OnProgram(const std::function<void()>& work) { thread.Run(work); }
  // Two round trips: what a request posted to the program's loop before has run.
  void Settle() {
    thread.Run([] {});
    thread.Run([] {});
  }
  bool RequestExit() { return LinuxProgramInstance(folder.root() + "/runtime").RequestExit(); }

  TestFolder folder;
  ProgramThread thread;
};

using Backends = ::testing::Types<LinuxInstanceFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Linux, ProgramInstanceContract, Backends);

// The bytes of a frame with a length that need not be the text's.
std::string RawFrame(char kind, uint32_t length, const std::string& text) {
  std::string out(1, kind);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((length >> (8 * i)) & 0xff);
  return out + text;
}

// Sends `bytes` to the socket and returns what comes back before the program closes it.
std::string Exchange(const std::string& socketPath, const std::string& bytes) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return "(no connection)";
  }
  send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  shutdown(fd, SHUT_WR);
  std::string back;
  char buffer[256];
  for (ssize_t n; (n = recv(fd, buffer, sizeof buffer, 0)) > 0;) back.append(buffer, n);
  close(fd);
  return back;
}

// The contract's running program and recorder, for tests of the socket's own.
using LinuxInstanceTest = ProgramInstanceContract<LinuxInstanceFixture>;

TEST(LinuxProgramInstanceTest, ACrashLeavesNoClaimAndItsSocketIsMadeAnew) {
  TestFolder folder;
  const std::string runtime = folder.root();
  // A program that claimed the session and died without letting go of anything.
  const pid_t crashed = fork();
  if (crashed == 0) {
    LinuxProgramInstance* leaked = new LinuxProgramInstance(runtime, "/bin/true");
    _exit(leaked->Claim(false) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(crashed, &status, 0), crashed);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  TestFolder::Place(runtime + "/" + kInstanceSocketName, "a socket's leftover");
  LinuxProgramInstance sender(runtime);
  const int64_t t0 = sender.NowMs();
  EXPECT_EQ(sender.Send("/status", {5000, 5000}, {}).delivery, Delivery::kNotRunning);
  EXPECT_LT(sender.NowMs() - t0, 1000) << "nobody holds the claim: known at once";
  LinuxProgramInstance next(runtime);
  EXPECT_TRUE(next.Claim(false));
}

TEST_F(LinuxInstanceTest, HostileFramesAreTurnedAwayAndTheProgramGoesOnServing) {
  StartProgram();
  ASSERT_TRUE(claimed);
  const std::string path = folder.root() + "/runtime/" + kInstanceSocketName;
  const struct {
    std::string bytes;
    const char* why;
  } hostile[] = {
      {RawFrame('C', kMaxFrameBytes + 1, std::string(8, 'x')), "larger than any command"},
      {RawFrame('C', 0xffffffffu, ""), "a length to exhaust the memory"},
      {RawFrame('C', 3, "/status and more"), "more than the frame says"},
      {RawFrame('Q', 0, ""), "no such request"},
      {RawFrame('C', 10, "/sta"), "cut short"},
      {"", "nothing at all"},
  };
  for (const auto& h : hostile) EXPECT_EQ(Exchange(path, h.bytes), "") << h.why;
  auto sender = NewCopy();
  const Delivered got = sender->Send("/status", {0, 5000}, Any);
  EXPECT_EQ(got.delivery, Delivery::kAnswered);
  EXPECT_EQ(got.answer, "did /status");
  EXPECT_EQ(Calls(), std::vector<std::string>{"command /status"}) << "no hostile frame was served";
  EndProgram();
  EXPECT_NE(access(path.c_str(), F_OK), 0) << "the socket goes with the program";
}

// What the command line printed.
struct Printed : Console {
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }
  std::string out, err;
};

TEST_F(LinuxInstanceTest, TheCommandLineReachesTheProgramOverTheSocketWithItsExitCodes) {
  Trace quiet{nullptr, ""};
  LinuxStorage storage(quiet);
  LinuxCalendar calendar;
  LinuxProgramInstance instance(folder.root() + "/runtime");
  auto run = [&](const std::vector<std::string>& args, Printed& printed) {
    LaunchServices launch{instance, printed, storage, calendar};
    return RunCommandLine(args, launch);
  };
  Printed none;
  EXPECT_EQ(run({"--status"}, none), 3) << "nobody runs";
  EXPECT_NE(none.err.find("not running"), std::string::npos) << none.err;
  // The running program, as the core's server answers: the command decoded, a line and a code.
  StartProgram();
  OnProgram([this] {
    requests.answer = [](std::string_view bytes) {
      const CommandLine line = DecodeCommand(bytes);
      if (line.kind != CommandLine::Kind::kCommand) return EncodeReply(2, "what?");
      if (line.command == Command(Verb::kPause, 1)) return EncodeReply(0, "Paused for 1 minute.");
      if (line.command.verb == Verb::kBreak) return EncodeReply(4, "A prompt waits for you.");
      return EncodeReply(0, "Counting: 00:42:00 left.");
    };
  });
  const struct {
    std::vector<std::string> args;
    int code;
    const char *out, *err;
  } commands[] = {
      {{"--status"}, 0, "Counting: 00:42:00 left.", ""},
      {{"/STATUS"}, 0, "Counting: 00:42:00 left.", ""},
      {{"--pause", "1"}, 0, "Paused for 1 minute.", ""},
      {{"/break"}, 4, "", "A prompt waits for you."},
  };
  for (const auto& c : commands) {
    Printed printed;
    EXPECT_EQ(run(c.args, printed), c.code) << c.args[0];
    EXPECT_NE(printed.out.find(c.out), std::string::npos) << c.args[0] << ": " << printed.out;
    EXPECT_NE(printed.err.find(c.err), std::string::npos) << c.args[0] << ": " << printed.err;
  }
  EXPECT_EQ(Calls().size(), 4u) << "each reached the program once";
  EndProgram();
}

}  // namespace
}  // namespace unw
