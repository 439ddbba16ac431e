#include <gtest/gtest.h>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/sim/sim_platform.h"
#include "program/entry.h"
#include "resources/templates/templates.h"
#include "ui/backend/headless/headless_backend.h"
#include "ui/scenario.h"

namespace {

struct EntryHarness {
  platform::sim::SimPlatform sim;
  app::ServicesScope services{sim.Get()};
  app::SharedStateScope state;
  ui::headless::HeadlessBackend backend{sim.Clock()};
  ui::ScenarioRunner runner{backend, backend};

  EntryHarness() {
    ui::Backend::SetCurrent(&backend);
    resources::RegisterTemplates();
    backend.SetScript(&runner);
  }
  ~EntryHarness() { ui::Backend::SetCurrent(nullptr); }
};

TEST(ProgramEntry, ASecondInstanceSaysSoAndEndsWithCodeZero) {
  EntryHarness h;
  h.sim.InstanceLock().SetHeldElsewhere(true);
  ASSERT_TRUE(
      h.runner.LoadText(u8"msgbox ok text=\"已经打开了!\" caption=\"Orvane\" buttons=ok icon=none\n"
                        "expect windows 90 0\n"));
  EXPECT_EQ(RunEntry("main"), 0);
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  EXPECT_EQ(h.sim.Log().Lines(), std::vector<std::string>{"instance.acquire DravoOV"});
}

TEST(ProgramEntry, TheFirstInstanceTakesTheLockAndQuitsWithItsCode) {
  EntryHarness h;
  ASSERT_TRUE(
      h.runner.LoadText("expect window 90 visible\n"
                        "click 90 1000\n"
                        "msgbox ok\n"));
  EXPECT_EQ(RunEntry("main"), 18);
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  EXPECT_EQ(h.sim.Log().Lines(), std::vector<std::string>{"instance.acquire DravoOV"});
}

TEST(ProgramEntry, TheGalleryTakesNoLockAndUnknownEntriesAreRefused) {
  EntryHarness h;
  h.sim.InstanceLock().SetHeldElsewhere(true);
  EXPECT_EQ(RunEntry("gallery"), 0);  // no script: the run ends at once
  EXPECT_TRUE(h.sim.Log().Lines().empty());
  EXPECT_EQ(RunEntry("nonsense"), -1);
}

TEST(ProgramEntry, PagesFollowTheSystemVersionItReads) {
  struct Case {
    int version;
    bool fallbackFont;
  };
  for (const Case c : {Case{5, true}, Case{10, false}}) {
    SCOPED_TRACE(c.version);
    EntryHarness h;
    h.sim.SystemInfo().SetOsMajorVersion(c.version);
    ASSERT_TRUE(h.runner.LoadText(c.fallbackFont ? u8"expect font 90 1001 \"宋体\" 12\n"
                                                 : "expect font 90 1001 none\n"));
    RunEntry("gallery");
    EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
    EXPECT_EQ(app::Shared().paths.osMajorVersion, std::to_string(c.version));
  }
}

}  // namespace
