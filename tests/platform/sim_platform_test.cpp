#include "platform/sim/sim_platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/temp_dir.h"

namespace {

using ::testing::ElementsAre;

TEST(SimPlatform, RecordsCallsAndAnswersScript) {
  platform::sim::SimPlatform sim;
  platform::Platform& p = sim.Get();
  sim.Processes().AddProcess(40, "notepad.exe");
  sim.Power().SetRequestResult(false);

  EXPECT_TRUE(p.power.EnableShutdownPrivilege());
  EXPECT_FALSE(p.power.Request(platform::PowerAction::Restart));
  EXPECT_EQ(p.processes.Snapshot().size(), 1u);
  EXPECT_TRUE(p.processes.Terminate(40, 0));
  EXPECT_FALSE(p.processes.Terminate(40, 0));
  EXPECT_TRUE(p.shell.Open("C:\\a.txt"));
  EXPECT_TRUE(p.shell.Exec("calc.exe"));
  p.sound.PlayLooped(136);
  EXPECT_EQ(sim.Sound().Playing(), 136);
  p.sound.Stop();
  EXPECT_TRUE(p.autostart.Set("Orvane", "\"C:\\o.exe\""));
  EXPECT_TRUE(p.instanceLock.Acquire("DravoOV"));
  sim.InstanceLock().SetHeldElsewhere(true);
  EXPECT_FALSE(p.instanceLock.Acquire("DravoOV"));
  EXPECT_EQ(p.systemInfo.OsMajorVersion(), 10);

  EXPECT_THAT(sim.Log().Lines(),
              ElementsAre("power.privilege", "power.request restart", "process.snapshot",
                          "process.terminate 40", "process.terminate 40", "shell.open C:\\a.txt",
                          "shell.exec calc.exe", "sound.play 136", "sound.stop",
                          "autostart.set Orvane \"C:\\o.exe\"", "instance.acquire DravoOV",
                          "instance.acquire DravoOV"));
}

TEST(SimPlatform, IdleFollowsTheVirtualClock) {
  platform::sim::SimPlatform sim;
  sim.Clock().SetTickBase(0xFFFFFF00u);
  sim.Idle().InputNow();
  sim.Clock().Advance(5000);
  EXPECT_EQ(sim.Clock().TickCount() - sim.Get().idle.LastInputTick(), 5000u);
  sim.Idle().SetIdleFor(60000);
  EXPECT_EQ(sim.Clock().TickCount() - sim.Get().idle.LastInputTick(), 60000u);
}

TEST(SimPlatform, HttpRepliesAndDownloads) {
  testing_support::TempDir dir;
  platform::sim::SimPlatform sim;
  platform::Http& http = sim.Get().http;
  sim.Http().SetReplyText("http://h/a", "0|ok");

  EXPECT_EQ(http.Get("http://h/a", {}).body, "0|ok");
  const platform::HttpResult failed = http.Get("http://h/other", {});
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.errorCode, platform::sim::SimHttp::kCannotConnect);

  EXPECT_TRUE(http.Download("http://h/a", dir / "f.txt", {}).ok);
  EXPECT_EQ(sim.Files().ReadFile(dir / "f.txt"), "0|ok");
  EXPECT_FALSE(http.Download("http://h/other", dir / "g.txt", {}).ok);
  EXPECT_FALSE(sim.Files().Exists(dir / "g.txt"));
  EXPECT_EQ(sim.Log().Lines().back(), "http.download http://h/other " + (dir / "g.txt"));
}

}  // namespace
