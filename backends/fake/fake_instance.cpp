#include "backends/fake/fake_instance.h"

#include <utility>

namespace unw {

namespace {

// How often a sender looks for a program that holds the claim but does not serve yet.
constexpr int kFindPollMs = 100;

}  // namespace

bool FakeSession::RequestExit() {
  if (!serving) return false;
  serving->Post([](InstanceRequests& r) { r.Exit(); });
  return true;
}

void FakeSession::RunPosted() {
  while (!posted.empty()) {
    const std::function<void()> work = std::move(posted.front());
    posted.pop_front();
    work();
  }
}

FakeProgramInstance::FakeProgramInstance(FakeSession& session, EventLoop* loop)
    : session_(session), loop_(loop) {}

FakeProgramInstance::~FakeProgramInstance() {
  StopServing();
  if (session_.claimedBy == this) session_.claimedBy = nullptr;
}

bool FakeProgramInstance::Claim(bool bringForward) {
  if (!session_.claimedBy || session_.claimedBy == this) {
    session_.claimedBy = this;
    return true;
  }
  // Another copy holds the claim: once it serves, it is asked to come forward.
  if (bringForward && session_.serving)
    session_.serving->Post([](InstanceRequests& r) { r.Activate(); });
  return false;
}

void FakeProgramInstance::Serve(InstanceRequests& requests, Trace& trace) {
  StopServing();
  requests_ = std::make_shared<InstanceRequests*>(&requests);
  session_.serving = this;
  trace.Line("instance.listen", {"1"});
}

void FakeProgramInstance::StopServing() {
  if (requests_) *requests_ = nullptr;
  requests_.reset();
  if (session_.serving == this) session_.serving = nullptr;
}

void FakeProgramInstance::OnProgramThread(const std::function<void()>& work) {
  if (session_.onProgramThread)
    session_.onProgramThread(work);
  else
    work();
}

void FakeProgramInstance::Post(std::function<void(InstanceRequests&)> request) {
  std::function<void()> work = [to = requests_, request = std::move(request)] {
    if (to && *to) request(**to);
  };
  if (!loop_) {
    session_.posted.push_back(std::move(work));
    return;
  }
  OnProgramThread([&] { loop_->After(0, std::move(work)); });
}

Delivered FakeProgramInstance::Send(std::string_view command, Patience patience,
                                    const std::function<bool(std::string_view)>& isAnswer) {
  sent.emplace_back(command);
  // A copy that holds the claim is starting: it is waited for until it serves.
  for (int waited = 0; !session_.serving && session_.claimedBy && waited < patience.findMs;
       waited += kFindPollMs)
    Sleep(kFindPollMs);
  FakeProgramInstance* to = session_.serving;
  if (!to) return {Delivery::kNotRunning, ""};
  std::optional<std::string> answer;
  to->OnProgramThread([&] {
    if (to->requests_ && *to->requests_) answer = (*to->requests_)->Answer(command);
  });
  if (!answer) return {Delivery::kNotRunning, ""};
  if (isAnswer && !isAnswer(*answer)) return {Delivery::kNoAnswer, ""};
  return {Delivery::kAnswered, std::move(*answer)};
}

Started FakeProgramInstance::Start(std::string_view arguments) {
  const std::string args(arguments);
  session_.starts.push_back(args);
  Started started;
  started.path = session_.programPath;
  if (session_.start) started.program = session_.start(args);
  if (!started.program) started.error = session_.startError;
  return started;
}

void FakeProgramInstance::Sleep(int ms) {
  session_.now += ms;
  if (session_.sleep) session_.sleep(ms);
}

}  // namespace unw
