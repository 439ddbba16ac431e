#include "app/shared_state.h"

#include <gtest/gtest.h>

#include "app/services.h"
#include "platform/sim/sim_platform.h"

namespace {

TEST(SharedState, EachScopeStartsFreshAndRestoresTheOneBefore) {
  app::SharedStateScope outer;
  app::Shared().session.signedIn = 1;
  app::Shared().session.accountId() = "typed";
  EXPECT_EQ(app::Shared().session.loginReply[9], "typed");
  {
    app::SharedStateScope inner;
    const app::SharedState& s = app::Shared();
    EXPECT_EQ(s.session.signedIn, 0);
    EXPECT_EQ(s.session.loginReply.size(), 13u);
    EXPECT_EQ(s.MainWindowRequest, 0);
    EXPECT_EQ(s.settings.autoUpdate, 0);
    EXPECT_TRUE(s.paths.settingsPath.empty());
  }
  EXPECT_EQ(app::Shared().session.signedIn, 1);
}

TEST(Services, ScopeInstallsTheBundle) {
  platform::sim::SimPlatform sim;
  app::ServicesScope scope(sim.Get());
  EXPECT_EQ(&app::Services().clock, &sim.Get().clock);
}

}  // namespace
