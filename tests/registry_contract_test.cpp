// The in-memory registry keeps the system's contract.
#include "registry_contract.h"

#include "backends/fake/fake_registry.h"

namespace unw {
namespace {

struct FakeRegistryFixture : ::testing::Test {
  Trace trace{nullptr, ""};
  FakeRegistry registry{trace};
  Registry& reg() { return registry; }
  std::string base() { return "Software\\KORVANTE\\ContractTest"; }
};

using Backends = ::testing::Types<FakeRegistryFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, RegistryContract, Backends);

}  // namespace
}  // namespace unw
