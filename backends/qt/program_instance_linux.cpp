#include "backends/qt/program_instance_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#include "backends/qt/files_linux.h"
#include "backends/qt/settings_storage_linux.h"

extern char** environ;

namespace unw {

namespace {

// How long a second start waits for a first one that holds the claim but does not listen yet.
constexpr int kWaitForFirstMs = 10000;
constexpr int kPollMs = 100;
// How long a second start waits for the program to take its request.
constexpr int kAckMs = 2000;
// More senders than this at once are turned away: nobody floods the program's memory.
constexpr size_t kMostConnections = 64;

int64_t MonotonicMs() {
  timespec ts = {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string Frame(char kind, std::string_view text) {
  std::string out;
  if (kind) out += kind;
  const uint32_t n = static_cast<uint32_t>(text.size());
  for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xff);
  out += text;
  return out;
}

uint32_t LengthAt(std::string_view bytes) {
  uint32_t n = 0;
  for (int i = 0; i < 4; ++i)
    n |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return n;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// A connection to the socket at `path`; -1 when nobody listens there.
int ConnectTo(const std::string& path) {
  sockaddr_un address;
  if (!FillAddress(path, address)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Reads an answer frame (a length and its bytes) from `fd` until `deadline`: none when the
// connection ended first, the time ran out or the frame is larger than any answer.
enum class Got { kAnswer, kEnded, kLate };
Got ReadAnswer(int fd, int64_t deadline, std::string& answer) {
  std::string in;
  for (;;) {
    if (in.size() >= 4) {
      const uint32_t n = LengthAt(in);
      if (n > kMaxFrameBytes) return Got::kEnded;
      if (in.size() >= 4 + n) {
        answer = in.substr(4, n);
        return Got::kAnswer;
      }
    }
    const int64_t left = deadline - MonotonicMs();
    if (left <= 0) return Got::kLate;
    pollfd p = {fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return Got::kLate;
    char buffer[1024];
    const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return Got::kEnded;
    in.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace

// The listening socket and the connections of senders, watched from the program's loop.
class InstanceListener {
 public:
  InstanceListener(const std::string& path, InstanceRequests& requests, Trace& trace)
      : requests_(requests), trace_(trace), path_(path) {
    sockaddr_un address;
    listening_ = FillAddress(path, address)
                     ? socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)
                     : -1;
    // The claim is ours: a socket left there was left by a program that ended.
    unlink(path.c_str());
    if (listening_ >= 0 &&
        (bind(listening_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
         chmod(path.c_str(), 0600) != 0 || listen(listening_, 16) != 0)) {
      close(listening_);
      listening_ = -1;
    }
    if (listening_ >= 0) {
      notifier_ = std::make_unique<QSocketNotifier>(listening_, QSocketNotifier::Read);
      QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_,
                       [this] { Accept(); });
    }
    trace.Line("instance.listen", {listening_ >= 0 ? "1" : "0"});
  }
  ~InstanceListener() {
    notifier_.reset();
    for (auto& [fd, c] : connections_) {
      c.reader.reset();
      close(fd);
    }
    if (listening_ >= 0) {
      close(listening_);
      unlink(path_.c_str());
    }
  }
  InstanceListener(const InstanceListener&) = delete;
  InstanceListener& operator=(const InstanceListener&) = delete;

 private:
  struct Connection {
    std::unique_ptr<QSocketNotifier> reader;
    std::string in;
  };

  void Accept() {
    for (;;) {
      const int fd = accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) return;
      // Only the user's own programs; the socket's folder and mode keep others out already.
      ucred peer = {};
      socklen_t size = sizeof peer;
      if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != getuid() ||
          connections_.size() >= kMostConnections) {
        trace_.Line("instance.refused", {"peer"});
        close(fd);
        continue;
      }
      Connection& c = connections_[fd];
      c.reader = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
      QObject::connect(c.reader.get(), &QSocketNotifier::activated, &context_,
                       [this, fd] { Read(fd); });
    }
  }

  void Drop(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    // Not deleted inside its own signal: the loop lets go of it later.
    it->second.reader->setEnabled(false);
    it->second.reader.release()->deleteLater();
    connections_.erase(it);
    close(fd);
  }

  void Read(int fd) {
    auto it = connections_.find(fd);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    char buffer[1024];
    const ssize_t got = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (got <= 0) return Drop(fd);  // the sender gave up before its frame was whole
    c.in.append(buffer, static_cast<size_t>(got));
    if (c.in.size() < 5) return;
    const uint32_t n = LengthAt(std::string_view(c.in).substr(1));
    if (n > kMaxFrameBytes || c.in.size() > 5 + size_t{n}) {
      trace_.Line("instance.refused", {std::to_string(n)});
      return Drop(fd);
    }
    if (c.in.size() < 5 + size_t{n}) return;
    c.reader->setEnabled(false);
    const char kind = c.in[0];
    std::string text = c.in.substr(5);
    if (kind == 'C') {
      queue_.push_back({fd, std::move(text)});
      if (queue_.size() == 1) Later([this] { ServeNext(); });
      return;
    }
    if (kind == 'A' || kind == 'X') {
      // From the program's loop, as the other requests; the sender knows it was taken.
      Later([this, kind] { kind == 'A' ? requests_.Activate() : requests_.Exit(); });
      SendAll(fd, Frame(0, ""));
    }
    Drop(fd);
  }

  // Carries out the command that came first and answers it; the next waits for the next turn of
  // the loop, so that the program's own timers and windows go on between commands.
  void ServeNext() {
    // A command whose work runs a loop of its own sees this again: the first carries on after.
    if (serving_ || queue_.empty()) return;
    serving_ = true;
    const std::string answer = requests_.Answer(queue_.front().bytes);
    const int fd = queue_.front().fd;
    queue_.pop_front();
    serving_ = false;
    if (!queue_.empty()) Later([this] { ServeNext(); });
    // Small enough for the socket's buffer: written at once or not at all.
    const std::string frame = Frame(0, answer);
    if (send(fd, frame.data(), frame.size(), MSG_DONTWAIT | MSG_NOSIGNAL) !=
        static_cast<ssize_t>(frame.size()))
      trace_.Line("instance.unanswered", {});
    Drop(fd);
  }

  void Later(std::function<void()> work) {
    QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
  }

  struct Queued {
    int fd;
    std::string bytes;
  };
  InstanceRequests& requests_;
  Trace& trace_;
  std::string path_;
  QObject context_;  // what the loop's later work and the notifiers' signals belong to
  int listening_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::map<int, Connection> connections_;
  std::deque<Queued> queue_;
  bool serving_ = false;
};

LinuxProgramInstance::LinuxProgramInstance(std::string runtime, std::string program)
    : runtime_(runtime.empty() ? linux_sys::RuntimeDir() : std::move(runtime)),
      program_(program.empty() ? ProgramPath() : std::move(program)) {}

LinuxProgramInstance::~LinuxProgramInstance() {
  // The socket goes before the claim: a program that claims next makes its own.
  listener_.reset();
  if (lock_ >= 0) close(lock_);
}

bool LinuxProgramInstance::Claimed() {
  if (lock_ >= 0) return true;
  const int fd = open(LockPath().c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

bool LinuxProgramInstance::Claim(bool bringForward) {
  if (lock_ >= 0) return true;
  // Without a folder of the session's own two programs may run; that is better than none.
  if (runtime_.empty()) return true;
  const int fd = open(LockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  for (const int64_t deadline = MonotonicMs() + kWaitForFirstMs;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lock_ = fd;
      return true;
    }
    if (const int first = ConnectTo(SocketPath()); first >= 0) {
      if (bringForward && SendAll(first, Frame('A', ""))) {
        std::string ack;
        ReadAnswer(first, MonotonicMs() + kAckMs, ack);
      }
      close(first);
      close(fd);
      return false;
    }
    // The first program is still starting (its socket comes) or ending (its claim goes).
    if (MonotonicMs() >= deadline) {
      close(fd);
      return false;
    }
    Sleep(kPollMs);
  }
}

void LinuxProgramInstance::Serve(InstanceRequests& requests, Trace& trace) {
  listener_.reset();
  listener_ = std::make_unique<InstanceListener>(SocketPath(), requests, trace);
}

void LinuxProgramInstance::StopServing() {
  listener_.reset();
}

Delivered LinuxProgramInstance::Send(std::string_view command, Patience patience,
                                     const std::function<bool(std::string_view)>& isAnswer) {
  int fd = -1;
  for (const int64_t deadline = MonotonicMs() + patience.findMs;;) {
    if ((fd = ConnectTo(SocketPath())) >= 0) break;
    // Nobody holds the claim: known at once. Somebody does: it is starting.
    if (!Claimed() || MonotonicMs() >= deadline) return {Delivery::kNotRunning, ""};
    Sleep(kPollMs);
  }
  std::string answer;
  Got got = Got::kEnded;
  if (command.size() <= kMaxFrameBytes && SendAll(fd, Frame('C', command)))
    got = ReadAnswer(fd, MonotonicMs() + patience.answerMs, answer);
  close(fd);
  if (got == Got::kAnswer && (!isAnswer || isAnswer(answer)))
    return {Delivery::kAnswered, std::move(answer)};
  // It may have ended meanwhile.
  if (got == Got::kEnded && !Claimed()) return {Delivery::kNotRunning, ""};
  return {Delivery::kNoAnswer, ""};
}

bool LinuxProgramInstance::RequestExit() {
  const int fd = ConnectTo(SocketPath());
  if (fd < 0) return false;
  std::string ack;
  const bool taken =
      SendAll(fd, Frame('X', "")) && ReadAnswer(fd, MonotonicMs() + kAckMs, ack) == Got::kAnswer;
  close(fd);
  return taken;
}

namespace {

class LinuxStartedProgram : public StartedProgram {
 public:
  explicit LinuxStartedProgram(pid_t pid) : pid_(pid) {}
  std::optional<uint32_t> ExitCode() override {
    if (code_) return code_;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return std::nullopt;
    code_ = WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status))
                              : 128u + static_cast<uint32_t>(WTERMSIG(status));
    return code_;
  }

 private:
  pid_t pid_;
  std::optional<uint32_t> code_;
};

}  // namespace

Started LinuxProgramInstance::Start(std::string_view arguments) {
  Started started;
  started.path = program_;
  std::vector<std::string> args{program_};
  for (size_t at = 0; at < arguments.size();) {
    const size_t end = std::min(arguments.find(' ', at), arguments.size());
    if (end > at) args.emplace_back(arguments.substr(at, end - at));
    at = end + 1;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Its own folder as the working directory: a program that runs for hours must not keep the
  // caller's folder busy.
  posix_spawn_file_actions_addchdir_np(&actions, linux_sys::FolderOf(program_).c_str());
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    started.error = static_cast<unsigned long>(error);
    return started;
  }
  started.program = std::make_unique<LinuxStartedProgram>(pid);
  return started;
}

int64_t LinuxProgramInstance::NowMs() {
  return MonotonicMs();
}

void LinuxProgramInstance::Sleep(int ms) {
  timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

void LinuxConsole::Out(std::string_view text) {
  linux_sys::WriteAll(STDOUT_FILENO, text);
}

void LinuxConsole::Err(std::string_view text) {
  linux_sys::WriteAll(STDERR_FILENO, text);
}

}  // namespace unw
