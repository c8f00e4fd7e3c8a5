// The command line's transport under Wine: the instance window on a thread of its own answers
// what a sender hands it, and survives whatever else arrives by WM_COPYDATA; the sender takes
// only a real answer from the window it asked, and waits a bounded time for it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "backends/win32/command_client.h"
#include "backends/win32/scoped.h"
#include "backends/win32/single_instance.h"

namespace unw {
namespace {

using win32::Exchange;
using win32::kCommandTag;

// `setup`, then a message loop, on a thread of its own until the object goes; then `teardown`
// there too (a window is destroyed by the thread that made it).
class LoopThread {
 public:
  explicit LoopThread(std::function<void()> setup, std::function<void()> teardown = {}) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([=, this] {
      MSG m;
      PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, before anyone posts
      id_ = GetCurrentThreadId();
      setup();
      SetEvent(ready);
      while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
      if (teardown) teardown();
    });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
  }
  ~LoopThread() {
    PostThreadMessageW(id_, WM_QUIT, 0, 0);
    thread_.join();
  }

 private:
  std::thread thread_;
  std::atomic<DWORD> id_ = 0;
};

// The running program's side: the real instance window, whose command handler only records what
// reaches it and answers as a test says.
class InstanceTest : public ::testing::Test {
 protected:
  // `startWith`: the command the program was started with, handed over as main() does.
  explicit InstanceTest(std::optional<Command> startWith = std::nullopt)
      : program_(
            [this, startWith] {
              trace_.KeepLines(true);
              window_ = std::make_unique<win32::InstanceWindow>(
                  trace_, [] { return true; }, [] { return true; },
                  [this](const Command& c) {
                    std::lock_guard lock(mutex_);
                    received_.push_back(EncodeCommand(c));
                    return answer_(c);
                  });
              hwnd_ = window_->hwnd();
              if (startWith) window_->RunWhenReady(*startWith, [this] { return ready_.load(); });
            },
            [this] { window_.reset(); }) {}

  std::vector<std::string> Received() {
    std::lock_guard lock(mutex_);
    return std::exchange(received_, {});
  }
  // Read after a round trip with the program: its thread writes the trace only while it handles
  // a message.
  std::vector<std::string> TraceLines() { return trace_.lines(); }
  // The answer as a sender prints it: "0 counting 00:42:17".
  static std::string Shown(const std::optional<Reply>& r) {
    return r ? std::to_string(r->code) + " " + r->line : "no answer";
  }

  std::mutex mutex_;
  std::vector<std::string> received_;
  std::function<Reply(const Command&)> answer_ = [](const Command& c) {
    return Reply{kExitDone, "did " + EncodeCommand(c), nullptr};
  };
  std::atomic<bool> ready_ = false;
  Trace trace_{[] { return int64_t{0}; }, ""};
  std::unique_ptr<win32::InstanceWindow> window_;
  std::atomic<HWND> hwnd_ = nullptr;
  LoopThread program_;
};

TEST_F(InstanceTest, ACommandIsAnsweredAndWhatItThenDoesRunsAfterTheAnswer) {
  ASSERT_TRUE(hwnd_);
  EXPECT_EQ(win32::FindRunningProgram(0), hwnd_.load());
  // What /break then does stands for a break window: it waits, here until the test lets it go.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> then_calls = 0;
  answer_ = [&](const Command& c) {
    if (c.verb != Verb::kBreak) return Reply{kExitDone, "did " + EncodeCommand(c), nullptr};
    return Reply{kExitDone, "break 00:10:00", [&] {
                   WaitForSingleObject(release, 10000);
                   ++then_calls;
                 }};
  };
  for (const Command& c :
       {Command{Verb::kPause, 30}, Command{Verb::kStatus, {}}, Command{Verb::kExit, {}}}) {
    EXPECT_EQ(Shown(win32::SendCommand(c)), "0 did " + EncodeCommand(c));
  }
  EXPECT_EQ(Received(), (std::vector<std::string>{"/pause 30", "/status", "/exit"}));
  const ULONGLONG t0 = GetTickCount64();
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kBreak, {}})), "0 break 00:10:00");
  EXPECT_LT(GetTickCount64() - t0, 5000u) << "the break window kept the sender waiting";
  EXPECT_EQ(then_calls, 0);
  SetEvent(release);
  for (int i = 0; i < 500 && then_calls == 0; ++i) Sleep(10);
  EXPECT_EQ(then_calls, 1);
  CloseHandle(release);
  const auto lines = TraceLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("instance.command\tsent\t/break\t0\tbreak 00:10:00"),
            std::string::npos)
      << lines.back();
}

TEST_F(InstanceTest, WhateverElseArrivesIsCheckedAndNeverReachesTheProgram) {
  const std::pair<std::string, const char*> bad[] = {
      {"", "2 the command is empty."},
      {std::string(1 << 20, '/'), "2 the command is too long."},
      {"\xff\xfe/\x00s", "2 the command is not UTF-8 text."},
      {std::string("/status\0", 8), "2 the command holds a control character."},
      {"/status", "0 did /status"},  // no NUL: the size is what counts
      {"/start /stop", "2 one command at a time: \"/stop\" follows \"/start\"."},
      {"/pause 99999", "2 /pause takes a number of minutes from 1 to 1440, not \"99999\"."},
      {"/?", "2 /? is answered by the command line itself."},
  };
  for (const auto& [bytes, answer] : bad)
    EXPECT_EQ(Shown(Exchange(hwnd_, kCommandTag, bytes, 5000)), answer) << bytes.substr(0, 16);
  EXPECT_EQ(Received(), std::vector<std::string>{"/status"});
  // Data of another kind, or a command with no reply window of ours to answer to, is left alone.
  EXPECT_EQ(Shown(Exchange(hwnd_, 0x1234, "/exit", 5000)), "no answer");
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
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kStatus, {}})), "0 did /status") << "still answers";
}

TEST_F(InstanceTest, ASenderThatDoesNotTakeItsAnswerHoldsTheProgramUpOnlyBriefly) {
  // A reply window on a thread that has stopped taking messages.
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<HWND> stuck = nullptr;
  std::thread hung([&] {
    Exchange(nullptr, 0, "", 0);  // registers the reply window's class, as every sender does
    stuck = CreateWindowExW(0, L"Unwindle.Reply", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            nullptr, nullptr);
    WaitForSingleObject(release, 30000);
    DestroyWindow(stuck);
  });
  while (!stuck) Sleep(10);
  COPYDATASTRUCT data = {kCommandTag, 7, const_cast<char*>("/status")};
  const ULONGLONG t0 = GetTickCount64();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd_, WM_COPYDATA, reinterpret_cast<WPARAM>(stuck.load()),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &result);
  const ULONGLONG waited = GetTickCount64() - t0;
  EXPECT_EQ(result, TRUE);
  EXPECT_LT(waited, 5000u) << "the program waited " << waited << " ms for a stuck sender";
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kStatus, {}})), "0 did /status");
  SetEvent(release);
  hung.join();
  CloseHandle(release);
}

class StartCommandTest : public InstanceTest {
 protected:
  StartCommandTest() : InstanceTest(Command{Verb::kStart, {}}) {}
};

TEST_F(StartCommandTest, TheCommandTheProgramStartedWithComesFirstOnceItIsReady) {
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kStatus, {}})), "0 did /status");
  EXPECT_EQ(Received(), std::vector<std::string>{"/status"}) << "not ready: the start waits";
  ready_ = true;
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kStatus, {}})), "0 did /status");
  EXPECT_EQ(Received(), (std::vector<std::string>{"/start", "/status"}));
  Sleep(600);  // the poll that would have carried it out finds nothing left to do
  EXPECT_TRUE(Received().empty());
  const auto lines = TraceLines();
  EXPECT_EQ(
      std::count(lines.begin(), lines.end(), "0\tinstance.command\tstart\t/start\t0\tdid /start"),
      1);
}

TEST_F(StartCommandTest, WhenTheProgramIsReadyOnItsOwnThePollCarriesItOut) {
  ready_ = true;
  std::vector<std::string> received;
  for (int i = 0; i < 200 && received.empty(); ++i, Sleep(10)) received = Received();
  EXPECT_EQ(received, std::vector<std::string>{"/start"});
  // A round trip: the program's thread is past the poll when it answers.
  EXPECT_EQ(Shown(win32::SendCommand({Verb::kStatus, {}})), "0 did /status");
  const auto lines = TraceLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.find("\tstart\t/start\t0") != std::string::npos;
                          }),
            1);
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
    const Reply r = win32::SendCommand({Verb::kPause, 30});
    EXPECT_EQ(std::to_string(r.code) + " " + r.line, shown);
    EXPECT_EQ(got, "1 /pause 30");
    if (IsWindow(instance)) DestroyWindow(instance);
  }
  DestroyWindow(other);
}

TEST_F(ClientTest, NoProgramMeansNotRunningAndAProgramStillStartingIsWaitedFor) {
  const Reply none = win32::SendCommand({Verb::kStatus, {}});
  EXPECT_EQ(std::tuple(none.code, none.line),
            std::tuple(kExitNotRunning, std::string("Unwindle is not running.")));
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
  EXPECT_TRUE(found != nullptr && found == window.load());
  EXPECT_GE(GetTickCount64() - t0, 250u);
  SetEvent(done);
  starting.join();
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

}  // namespace
}  // namespace unw
