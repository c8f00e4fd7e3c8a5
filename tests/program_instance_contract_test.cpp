// The fake session keeps the contract of the real one.
#include "program_instance_contract.h"

#include "backends/fake/fake_instance.h"

namespace unw {
namespace {

struct FakeInstanceFixture : ::testing::Test {
  std::unique_ptr<ProgramInstance> NewCopy() {
    return std::make_unique<FakeProgramInstance>(session);
  }
  void OnProgram(const std::function<void()>& work) { work(); }
  void Settle() { session.RunPosted(); }
  bool RequestExit() { return session.RequestExit(); }

  FakeSession session;
};

using Backends = ::testing::Types<FakeInstanceFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ProgramInstanceContract, Backends);

}  // namespace
}  // namespace unw
