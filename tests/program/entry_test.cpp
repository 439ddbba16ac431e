#include <gtest/gtest.h>

#include <filesystem>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/sim/sim_platform.h"
#include "program/entry.h"
#include "resources/templates/templates.h"
#include "tests/platform/temp_dir.h"
#include "ui/backend/headless/headless_backend.h"
#include "ui/scenario.h"

namespace {

struct EntryHarness {
  // The program keeps its Config folder in the current directory.
  testing_support::TempDir dir;
  std::filesystem::path previousDirectory = std::filesystem::current_path();
  platform::sim::SimPlatform sim;
  app::ServicesScope services{sim.Get()};
  app::SharedStateScope state;
  ui::headless::HeadlessBackend backend{sim.Clock()};
  ui::ScenarioRunner runner{backend, backend};

  EntryHarness() {
    std::filesystem::current_path(dir.path());
    ui::Backend::SetCurrent(&backend);
    resources::RegisterTemplates();
    backend.SetScript(&runner);
  }
  ~EntryHarness() {
    ui::Backend::SetCurrent(nullptr);
    std::filesystem::current_path(previousDirectory);
  }
};

TEST(ProgramEntry, ASecondInstanceSaysSoAndEndsWithCodeZero) {
  EntryHarness h;
  h.sim.InstanceLock().SetHeldElsewhere(true);
  ASSERT_TRUE(
      h.runner.LoadText(u8"msgbox ok text=\"已经打开了!\" caption=\"Orvane\" buttons=ok icon=none\n"
                        "expect windows 131 0\n"));
  EXPECT_EQ(RunEntry("main"), 0);
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  EXPECT_EQ(h.sim.Log().Lines(), std::vector<std::string>{"instance.acquire DravoOV"});
}

TEST(ProgramEntry, TheFirstInstanceTakesTheLockAndQuitsWithItsCode) {
  EntryHarness h;
  // No server answers: the sign-in page says so, then "免登陆".
  ASSERT_TRUE(
      h.runner.LoadText(u8"msgbox ok text=\"网络连接失败!\"\n"
                        "click 131 1031\n"
                        "advance 200ms\n"
                        "expect window 102 visible\n"
                        "click 102 1000\n"
                        "msgbox ok\n"));
  EXPECT_EQ(RunEntry("main"), 18);
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  ASSERT_FALSE(h.sim.Log().Lines().empty());
  EXPECT_EQ(h.sim.Log().Lines().front(), "instance.acquire DravoOV");
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
