// The session's one program under Wine: the contract every back end keeps, with the running
// program on a thread of its own; then what only Windows brings: whatever else arrives by
// WM_COPYDATA, a sender that stops taking messages, forged answers, a program still starting.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/launch.h"
#include "backends/win32/program_instance_win32.h"
#include "backends/win32/scoped.h"
#include "forge.h"
#include "program_instance_contract.h"

namespace unw {
namespace {

using win32::Exchange;
using win32::kCommandTag;

// A thread with a message loop, as the program's: Run hands it work and returns once it is done.
// Everything the work touches belongs to the caller, who waits, so nothing outlives its owner.
class ProgramThread {
 public:
  ProgramThread() {
    std::promise<DWORD> started;
    std::future<DWORD> id = started.get_future();
    thread_ = std::thread([&started] {
      MSG m;
      PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before anyone posts
      started.set_value(GetCurrentThreadId());
      while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        if (!m.hwnd && m.message == kRun) {
          auto* job = reinterpret_cast<Job*>(m.lParam);
          job->work();
          job->done.set_value();
          continue;
        }
        DispatchMessageW(&m);
      }
    });
    id_ = id.get();
  }
  ~ProgramThread() {
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  ProgramThread(const ProgramThread&) = delete;
  ProgramThread& operator=(const ProgramThread&) = delete;

  void Run(const std::function<void()>& work) {
    Job job{work, {}};
    std::future<void> done = job.done.get_future();
    PostThreadMessageW(id_, kRun, 0, reinterpret_cast<LPARAM>(&job));
    done.wait();
  }

 private:
  static constexpr UINT kRun = WM_APP + 100;
  struct Job {
    const std::function<void()>& work;
    std::promise<void> done;
  };
  std::thread thread_;
  DWORD id_ = 0;
};

struct Win32InstanceFixture : ::testing::Test {
  std::unique_ptr<ProgramInstance> NewCopy() {
    return std::make_unique<win32::Win32ProgramInstance>();
  }
  void OnProgram(const std::function<void()>& work) { thread.Run(work); }
  // A round trip: what was posted to the program's thread before has run.
  void Settle() {
    thread.Run([] {});
  }
  // The installer's request.
  bool RequestExit() {
    HWND instance = FindWindowA(win32::kInstanceWindowClass, nullptr);
    DWORD_PTR result = 0;
    return instance &&
           SendMessageTimeoutA(instance, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
  }

  ProgramThread thread;
};

using Backends = ::testing::Types<Win32InstanceFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ProgramInstanceContract, Backends);

// The running program's side: the real instance window on a thread of its own, whose requests
// only record what reaches them and answer as a test says.
class InstanceTest : public ::testing::Test {
 protected:
  struct Requests : InstanceRequests {
    bool Activate() override { return true; }
    bool Exit() override { return true; }
    std::string Answer(std::string_view bytes) override {
      reentered += answering;
      answering = true;
      received.emplace_back(bytes);
      // As the program's own work does (the tray's calls to the shell): messages sent to its
      // thread meanwhile are handled before this returns.
      MSG m;
      PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      answering = false;
      return "0 did " + std::string(bytes.substr(0, 16));
    }
    std::vector<std::string> received;
    bool answering = false;
    int reentered = 0;  // commands handed over while another was carried out
  };

  InstanceTest() {
    program_.Run([this] {
      instance_ = std::make_unique<win32::Win32ProgramInstance>();
      instance_->Serve(requests_, trace_);
      hwnd_ = instance_->hwnd();
    });
  }
  ~InstanceTest() override {
    program_.Run([this] { instance_.reset(); });
  }
  std::vector<std::string> Received() {
    std::vector<std::string> got;
    program_.Run([&] { got = std::exchange(requests_.received, {}); });
    return got;
  }
  static std::string Shown(const Reply& r) { return std::to_string(r.code) + " " + r.line; }

  Trace trace_{nullptr, ""};
  Requests requests_;
  std::unique_ptr<win32::Win32ProgramInstance> instance_;
  win32::Win32ProgramInstance sender_;
  HWND hwnd_ = nullptr;
  ProgramThread program_;  // last: it ends first, and its work touches the members above
};

TEST_F(InstanceTest, OnlyACommandFromAReplyWindowIsTakenAndItsSizeIsWhatCounts) {
  ASSERT_TRUE(hwnd_);
  EXPECT_EQ(win32::FindRunningProgram(0), hwnd_);
  trace_.KeepLines(true);
  // Up to the limit the bytes reach the program whole; beyond it (a megabyte) none of them do,
  // the sender hears nothing, and the refusal is traced.
  const std::string most(win32::kMaxCopyDataBytes, '/');
  EXPECT_EQ(Exchange(hwnd_, kCommandTag, most, 5000, nullptr), "0 did " + most.substr(0, 16));
  for (const size_t over : {size_t{win32::kMaxCopyDataBytes} + 1, size_t{1} << 20})
    EXPECT_EQ(Exchange(hwnd_, kCommandTag, std::string(over, '/'), 5000, nullptr), std::nullopt)
        << over;
  const std::vector<std::string> received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].size(), most.size());
  const auto& lines = trace_.lines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("\tinstance.refused\t1048576") != std::string::npos;
  }));
  // Data of another kind, or a command with no reply window of ours to answer to, is left alone.
  EXPECT_EQ(Exchange(hwnd_, 0x1234, "/exit", 5000, nullptr), std::nullopt);
  COPYDATASTRUCT data = {kCommandTag, 5, const_cast<char*>("/exit")};
  HWND stranger =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  for (HWND from : {HWND(nullptr), stranger, HWND(reinterpret_cast<HWND>(0x12345678))}) {
    DWORD_PTR result = 1;
    EXPECT_TRUE(SendMessageTimeoutW(hwnd_, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                                    reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                                    &result));
    EXPECT_EQ(result, FALSE);
  }
  DestroyWindow(stranger);
  SendMessageTimeoutW(hwnd_, WM_COPYDATA, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_TRUE(Received().empty());
  EXPECT_EQ(Shown(SendCommand(sender_, {Verb::kStatus})), "0 did /status") << "still answers";
}

// Another program's creation and destruction messages to the instance window: nothing is written
// through their pointers, and the command line is still answered.
TEST_F(InstanceTest, ForgedCreationAndDestructionLeaveItAnswering) {
  ASSERT_TRUE(hwnd_);
  EXPECT_TRUE(ForgeLifeMessages(hwnd_, [] {}));
  EXPECT_EQ(win32::FindRunningProgram(0), hwnd_);
  EXPECT_EQ(Shown(SendCommand(sender_, {Verb::kStatus})), "0 did /status");
}

TEST_F(InstanceTest, ASenderThatDoesNotTakeItsAnswerHoldsTheProgramUpOnlyBriefly) {
  // A reply window on a thread that has stopped taking messages. What that thread uses is shared
  // with it, so it lives as long as the thread whatever the test does.
  struct Stuck {
    win32::ScopedHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::promise<HWND> window;
  };
  auto stuck = std::make_shared<Stuck>();
  std::future<HWND> window = stuck->window.get_future();
  std::thread hung([stuck] {
    Exchange(nullptr, 0, "", 0, nullptr);  // registers the reply window's class, as every sender
    HWND w = CreateWindowExW(0, L"Unwindle.Reply", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             nullptr, nullptr);
    stuck->window.set_value(w);
    WaitForSingleObject(stuck->release.get(), 30000);
    if (w) DestroyWindow(w);
  });
  const HWND from = window.get();
  ASSERT_TRUE(from) << "no reply window";
  COPYDATASTRUCT data = {kCommandTag, 7, const_cast<char*>("/status")};
  const ULONGLONG t0 = GetTickCount64();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd_, WM_COPYDATA, reinterpret_cast<WPARAM>(from),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &result);
  const ULONGLONG waited = GetTickCount64() - t0;
  EXPECT_NE(result, FALSE) << "taken";
  EXPECT_LT(waited, 1000u) << "the program waited " << waited << " ms for a stuck sender";
  // Its answer waits for it on a thread of the pool: the next ten are answered at once.
  ULONGLONG slowest = 0;
  for (int i = 0; i < 10; ++i) {
    const ULONGLONG t = GetTickCount64();
    EXPECT_EQ(Shown(SendCommand(sender_, {Verb::kStatus})), "0 did /status");
    slowest = std::max(slowest, GetTickCount64() - t);
  }
  EXPECT_LT(slowest, 1000u) << "a command waited behind the stuck sender's answer";
  SetEvent(stuck->release.get());
  hung.join();
}

TEST_F(InstanceTest, FiftySendersAtOnceAreEachAnsweredTheirOwnOneAfterAnother) {
  constexpr int kSenders = 50;
  std::vector<std::string> shown(kSenders);
  std::vector<std::thread> senders;
  for (int i = 0; i < kSenders; ++i)
    senders.emplace_back([&shown, i] {
      win32::Win32ProgramInstance me;
      shown[i] = Shown(SendCommand(me, {Verb::kPause, i + 1}));
    });
  for (std::thread& t : senders) t.join();
  for (int i = 0; i < kSenders; ++i)
    EXPECT_EQ(shown[i], "0 did /pause " + std::to_string(i + 1)) << "sender " << i;
  const std::vector<std::string> received = Received();
  EXPECT_EQ(received.size(), static_cast<size_t>(kSenders)) << "each once";
  int reentered = -1;
  program_.Run([&] { reentered = requests_.reentered; });
  EXPECT_EQ(reentered, 0) << "a command arrived inside another's work";
}

// The sender's side, against a stand-in for the running program on the test's own thread that
// answers as each case says.
class ClientTest : public ::testing::Test {
 protected:
  using Answer = std::function<void(HWND self, HWND replyTo)>;
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m != WM_COPYDATA || !current_) return DefWindowProcW(h, m, w, l);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(l);
    current_->got = std::to_string(data->dwData == kCommandTag) + " " +
                    std::string(static_cast<const char*>(data->lpData), data->cbData);
    current_->answer(h, reinterpret_cast<HWND>(w));
    return TRUE;
  }
  ClientTest() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Unwindle.Instance";
    RegisterClassW(&wc);
    current_ = this;
  }
  ~ClientTest() override {
    current_ = nullptr;
    UnregisterClassW(L"Unwindle.Instance", GetModuleHandleW(nullptr));
  }
  HWND MakeInstance() {
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"Unwindle.Instance", L"Unwindle", WS_POPUP, 0, 0, 0,
                           0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void Send(HWND from, HWND to, ULONG_PTR tag, const std::string& bytes) {
    COPYDATASTRUCT data = {tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    SendMessageW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&data));
  }

  static inline ClientTest* current_ = nullptr;
  Answer answer;
  std::string got;  // "1 /status": the tag was a command's, and the bytes
  win32::Win32ProgramInstance sender;
};

TEST_F(ClientTest, OnlyARealAnswerFromTheProgramAskedIsTaken) {
  const ULONG_PTR reply = win32::kReplyTag;
  HWND other =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const std::pair<Answer, const char*> cases[] = {
      {[&](HWND self, HWND to) { Send(self, to, reply, "0 counting 00:42:17"); },
       "0 counting 00:42:17"},
      {[&](HWND self, HWND to) { Send(self, to, reply, "4 Unwindle cannot do that now."); },
       "4 Unwindle cannot do that now."},
      {[&](HWND self, HWND to) {
         Send(self, to, reply, "0 stopped 01:00:00");
         Send(self, to, reply, "4 a second answer");
       },
       "0 stopped 01:00:00"},
      {[&](HWND self, HWND to) {
         Send(self, to, reply, "7 a forged answer first");
         Send(self, to, reply, "0 paused 00:10:00");
       },
       "0 paused 00:10:00"},
      {[&](HWND, HWND) {}, "4 Unwindle did not answer."},
      {[&](HWND self, HWND to) { Send(self, to, reply, "7 seven"); }, "4 Unwindle did not answer."},
      {[&](HWND self, HWND to) { Send(self, to, reply, "0 \xff\xfe"); },
       "4 Unwindle did not answer."},
      {[&](HWND self, HWND to) { Send(self, to, reply, "0 " + std::string(1 << 20, 'x')); },
       "4 Unwindle did not answer."},
      {[&](HWND self, HWND to) { Send(self, to, kCommandTag, "0 counting 00:42:17"); },
       "4 Unwindle did not answer."},
      {[&](HWND, HWND to) { Send(other, to, reply, "0 counting 00:42:17"); },
       "4 Unwindle did not answer."},
      // It ends while it answers: it is not running any more.
      {[&](HWND self, HWND) { DestroyWindow(self); }, "3 Unwindle is not running."},
  };
  for (const auto& [a, shown] : cases) {
    HWND instance = MakeInstance();
    answer = a;
    got.clear();
    const Reply r = SendCommand(sender, {Verb::kPause, 30});
    EXPECT_EQ(std::to_string(r.code) + " " + r.line, shown);
    EXPECT_EQ(got, "1 /pause 30");
    if (IsWindow(instance)) DestroyWindow(instance);
  }
  DestroyWindow(other);
}

TEST_F(ClientTest, NoProgramMeansNotRunningAndAProgramStillStartingIsWaitedFor) {
  // Another start owns the session's mutex and has no window yet; then its window comes.
  HANDLE owned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<HWND> window = nullptr;
  std::thread starting([&] {
    win32::ScopedHandle mutex(CreateMutexA(nullptr, TRUE, win32::kInstanceMutexName));
    SetEvent(owned);
    WaitForSingleObject(go, 10000);
    Sleep(300);
    window = MakeInstance();
    WaitForSingleObject(done, 10000);
    DestroyWindow(window);
    ReleaseMutex(mutex.get());
  });
  WaitForSingleObject(owned, 10000);
  ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(win32::FindRunningProgram(400), nullptr);
  EXPECT_GE(GetTickCount64() - t0, 400u) << "no window yet: it waited";
  SetEvent(go);
  t0 = GetTickCount64();
  HWND found = win32::FindRunningProgram(5000);
  EXPECT_GE(GetTickCount64() - t0, 250u);
  SetEvent(done);
  starting.join();
  // Only now: the window can be found before its maker has stored its handle.
  EXPECT_TRUE(found != nullptr && found == window.load());
  // Let go, or left abandoned by a start that crashed: nobody runs, known at once.
  HANDLE abandoned = nullptr;
  for (bool crash : {false, true}) {
    if (crash)
      std::thread([&] {
        abandoned = CreateMutexA(nullptr, TRUE, win32::kInstanceMutexName);
      }).join();
    t0 = GetTickCount64();
    EXPECT_EQ(win32::FindRunningProgram(5000), nullptr);
    EXPECT_LT(GetTickCount64() - t0, 1000u) << (crash ? "abandoned" : "let go");
  }
  CloseHandle(abandoned);
  for (HANDLE h : {owned, go, done}) CloseHandle(h);
}

TEST(Win32InstanceStart, AProgramThatIsNotThereSaysWhichAndWhy) {
  // The tests run without unwindle.exe beside them.
  win32::Win32ProgramInstance instance;
  const Started started = instance.Start("/start");
  EXPECT_FALSE(started.program);
  EXPECT_EQ(started.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(started.path.ends_with("\\unwindle.exe")) << started.path;
}

}  // namespace
}  // namespace unw
