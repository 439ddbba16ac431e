// The backend contract on the headless port.
#include <memory>

#include "platform/sim/virtual_clock.h"
#include "tests/ui/backend_contract.h"
#include "ui/backend/headless/headless_backend.h"

namespace uitest {
namespace {

struct HeadlessPort : PortUnderTest {
  platform::sim::VirtualClock clock;
  ui::headless::HeadlessBackend port{clock};
  ui::Backend& backend() override { return port; }
  ui::UserActions& user() override { return port; }
};

INSTANTIATE_TEST_SUITE_P(Headless, BackendContract,
                         ::testing::Values(PortFactory{
                             "Headless", [] { return std::make_unique<HeadlessPort>(); }}),
                         PortName);

}  // namespace
}  // namespace uitest
