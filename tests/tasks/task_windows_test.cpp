// The scheduler window and the warning window under the virtual clock: a task
// goes from its slot to its platform call, second by second.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/sim/sim_platform.h"
#include "resources/templates/templates.h"
#include "tasks/desktop_dlg.h"
#include "tasks/prompt_dlg.h"
#include "ui/backend/headless/headless_backend.h"

namespace tasks {
namespace {

constexpr ui::Size kScreen{1280, 1024};

// The slots holding a task, one bit per slot.
int BusySlots() {
  int mask = 0;
  for (int s = kFirstTaskSlot; s <= kLastTaskSlot; ++s) {
    if (app::Shared().taskTable[s].Scheduled()) mask |= 1 << s;
  }
  return mask;
}

// Record which slots still held a task at each power or shell call: every
// action must run after its own slot was freed.
class SpyPower : public platform::Power {
 public:
  explicit SpyPower(platform::Power& inner) : inner_(inner) {}
  bool EnableShutdownPrivilege() override { return inner_.EnableShutdownPrivilege(); }
  bool Request(platform::PowerAction action) override {
    busyAtCall.push_back(BusySlots());
    return inner_.Request(action);
  }
  std::vector<int> busyAtCall;

 private:
  platform::Power& inner_;
};

class SpyShell : public platform::Shell {
 public:
  explicit SpyShell(platform::Shell& inner) : inner_(inner) {}
  bool Open(const std::string& target, const std::string& parameters) override {
    busyAtCall.push_back(BusySlots());
    return inner_.Open(target, parameters);
  }
  bool Exec(const std::string& commandLine) override { return inner_.Exec(commandLine); }
  std::vector<int> busyAtCall;

 private:
  platform::Shell& inner_;
};

// The user's last input as the system answers it. When `typing`, the user
// keeps at the keys and each question takes a millisecond to answer, so the
// last input is always the moment of answering.
class SpyIdle : public platform::InputIdle {
 public:
  SpyIdle(platform::sim::SimIdle& inner, platform::sim::VirtualClock& clock)
      : inner_(inner), clock_(clock) {}
  std::uint32_t LastInputTick() override {
    if (!typing) return inner_.LastInputTick();
    clock_.Advance(1);
    return clock_.TickCount();
  }
  bool typing = false;

 private:
  platform::sim::SimIdle& inner_;
  platform::sim::VirtualClock& clock_;
};

class TaskWindows : public ::testing::Test {
 protected:
  TaskWindows() {
    ui::Backend::SetCurrent(&backend);
    backend.SetScreenSize(kScreen);
    resources::RegisterTemplates();
  }
  ~TaskWindows() override { ui::Backend::SetCurrent(nullptr); }

  TaskTable& table() { return app::Shared().taskTable; }
  SharedTaskValues& values() { return app::Shared().taskValues; }

  // Puts a record into a slot as the sign-in fetch does and makes the
  // scheduler window the first time.
  void Put(int slot, const std::string& record) {
    table().LoadFetchedRecord(slot, record);
    if (values().bannerCreated != 1) {
      ASSERT_NE(CDesktopDlg::CreateBanner(nullptr), nullptr);
    }
  }

  void Seconds(int n) { backend.Advance(static_cast<unsigned>(n) * 1000); }

  int Calls(const std::string& call) {
    const auto lines = sim.Log().Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), call));
  }
  std::vector<ui::WindowId> Prompts() { return backend.FindWindows(kPromptTemplate); }
  std::string PromptText(ui::WindowId w) { return backend.GetControlText(w, kPromptTextControl); }

  // Steps second by second and answers the seconds (from now) at which the
  // first warning window opened and the first power call was made; -1: never.
  std::pair<int, int> WarnAndFireSeconds(int seconds, const std::string& call) {
    int warnedAt = -1;
    int firedAt = -1;
    const std::size_t windowsBefore = Prompts().size();
    for (int s = 1; s <= seconds; ++s) {
      Seconds(1);
      if (warnedAt < 0 && Prompts().size() > windowsBefore) warnedAt = s;
      if (firedAt < 0 && Calls(call) > 0) firedAt = s;
    }
    return {warnedAt, firedAt};
  }

  platform::sim::SimPlatform sim;
  SpyPower power{sim.Power()};
  SpyShell shell{sim.Shell()};
  SpyIdle userInput{sim.Idle(), sim.Clock()};
  platform::Platform services{sim.Clock(),     sim.Files(),        sim.Profiles(),
                              power,           sim.Processes(),    shell,
                              userInput,       sim.Sound(),        sim.Http(),
                              sim.Autostart(), sim.InstanceLock(), sim.SystemInfo()};
  app::SharedStateScope state;
  app::ServicesScope servicesScope{services};
  ui::headless::HeadlessBackend backend{sim.Clock()};
};

// The banner's arming tick comes one second after it is made, the slot's first
// evaluation one second later: a task put in with a new banner is first
// evaluated 2 s after it was put in.
constexpr int kFirstTick = 2;

TEST_F(TaskWindows, BannerSitsAtTheRightEdgeHidesAtItsFirstPaintsAndTakesThePrivilege) {
  Put(1, "0");
  const ui::WindowId banner = backend.FindWindows(kDesktopTemplate).at(0);
  const ui::Rect r = backend.GetWindowRect(banner);
  EXPECT_EQ(r.right, kScreen.cx);
  EXPECT_EQ(r.bottom, kScreen.cy - 80);
  EXPECT_EQ(backend.GetControlText(banner, kBannerTextControl), " 欢迎使用 Orvane !");
  EXPECT_EQ(values().bannerCreated, 1);
  EXPECT_EQ(Calls("power.privilege"), 1);

  backend.Pump();
  EXPECT_FALSE(backend.IsVisible(banner)) << "hidden at its first paint";
  backend.Show(banner, ui::ShowCommand::Show);
  backend.Pump();
  EXPECT_FALSE(backend.IsVisible(banner)) << "and at its second";
  backend.Show(banner, ui::ShowCommand::Show);
  backend.Pump();
  EXPECT_TRUE(backend.IsVisible(banner));
}

TEST_F(TaskWindows, DoubleClickOnTheBannerShowsItsOwner) {
  ui::Dialog owner(kPromptTemplate);  // any hidden window stands in for the main window
  ASSERT_TRUE(owner.Create());
  values().bannerHideCount = 0;
  CDesktopDlg* banner = CDesktopDlg::CreateBanner(&owner);
  ASSERT_NE(banner, nullptr);
  EXPECT_FALSE(owner.IsWindowVisible());
  ASSERT_TRUE(backend.DoubleClickAt(banner->GetSafeHwnd(), {5, 5}));
  EXPECT_TRUE(owner.IsWindowVisible());
}

TEST_F(TaskWindows,
       SetTimeTasksWarnInTheMinuteBeforeWithinTheHourAndFireInTheFirstTickOfTheirMinute) {
  struct Case {
    const char* name;
    const char* record;
    int hour, minute, second;  // local time when the task is put in
    int warnAt, fireAt;        // seconds after that; -1: never within 3 minutes
  } const cases[] = {
      {"14:30 warns at 14:29", "1|14|30|0|0|0|0|空", 14, 28, 50, 10, 70},
      {"14:00 has no minute before in its hour", "1|14|0|0|0|0|0|空", 13, 58, 50, -1, 70},
      {"a typed leading zero", "1|09|05|0|0|0|0|空", 9, 3, 30, 30, 90},
      {"a passed time waits", "1|14|30|0|0|0|0|空", 14, 31, 0, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    app::SharedStateScope fresh;
    sim.Log().Clear();
    backend.SetLocalTime(2026, 12, 10, c.hour, c.minute, c.second);
    Put(1, c.record);
    const auto [warnAt, fireAt] = WarnAndFireSeconds(180, "power.request shutdown");
    EXPECT_EQ(warnAt, c.warnAt);
    EXPECT_EQ(fireAt, c.fireAt);
    EXPECT_EQ(Calls("power.request shutdown"), c.fireAt < 0 ? 0 : 1);
    EXPECT_EQ(table()[1].Scheduled(), c.fireAt < 0);
    for (ui::WindowId w : backend.FindWindows(kDesktopTemplate)) backend.DestroyWindow(w);
    for (ui::WindowId w : Prompts()) backend.DestroyWindow(w);
  }
}

TEST_F(TaskWindows, APassedSetTimeFiresTheNextDayOnlyWhileStillInUse) {
  backend.SetLocalTime(2026, 12, 10, 15, 0, 0);
  Put(1, "1|14|30|0|0|0|0|空");
  Put(2, "1|14|30|0|0|1|0|空");
  Seconds(60);
  table().Free(2);  // deleted before the next day
  backend.SetLocalTime(2026, 12, 11, 14, 29, 58);
  const auto [warnAt, fireAt] = WarnAndFireSeconds(70, "power.request shutdown");
  EXPECT_EQ(warnAt, 1);  // 14:29:59
  EXPECT_EQ(fireAt, 2);  // 14:30:00
  EXPECT_EQ(Calls("power.request restart"), 0);
}

TEST_F(TaskWindows, CountdownShowsItsTimeLeftWarnsAt59AndFiresAfterNPlusOneTicks) {
  Put(1, "1|1|1|0|1|1|0|空");  // 3660 s, restart
  Seconds(kFirstTick);
  EXPECT_EQ(table()[1].display.remaining, "1时0分59秒");
  Seconds(60);
  EXPECT_EQ(table()[1].display.remaining, "59 分 59 秒");
  EXPECT_TRUE(Prompts().empty());
  Seconds(3540);
  EXPECT_EQ(table()[1].display.remaining, "59 秒");
  EXPECT_EQ(Prompts().size(), 1u) << "warned at the tick that reached 59";
  Seconds(58);
  EXPECT_EQ(table()[1].display.remaining, "1 秒");
  EXPECT_EQ(Calls("power.request restart"), 0);
  Seconds(1);
  EXPECT_EQ(Calls("power.request restart"), 0) << "0 s left is not yet due";
  Seconds(1);
  EXPECT_EQ(Calls("power.request restart"), 1) << "fires at -1, N + 1 ticks after its start";
  EXPECT_FALSE(table()[1].Scheduled());
  EXPECT_EQ(table()[1].warned, 0);
  Seconds(5);
  EXPECT_EQ(Calls("power.request restart"), 1) << "every task runs once";
}

TEST_F(TaskWindows, IdleTaskFiresOncePastItsTimeInputPutsTheTimeBackAndTheWarningComesOnce) {
  sim.Idle().InputNow();
  Put(1, "1|0|5|0|2|0|0|空");  // 300 s idle, shut down
  Seconds(240);
  EXPECT_TRUE(Prompts().empty()) << "60 s left is not below 60";
  Seconds(1);
  EXPECT_EQ(Prompts().size(), 1u);
  Seconds(9);
  sim.Idle().InputNow();  // the user comes back: 300 s to go again
  Seconds(300);
  EXPECT_EQ(Calls("power.request shutdown"), 0);
  Seconds(1);
  EXPECT_EQ(Calls("power.request shutdown"), 1) << "idle for 301 s";
  EXPECT_EQ(Prompts().size(), 1u) << "the warning is raised once per run";
  EXPECT_EQ(table()[1].display.remaining, "0") << "idle tasks write no time left";
}

TEST_F(TaskWindows, IdleTimeSurvivesTheWrapOfTheTickCount) {
  sim.Clock().SetTickBase(0xFFFFFFFFu - 100000);  // wraps 100 s from now
  sim.Idle().InputNow();
  Put(1, "1|0|5|0|2|0|0|空");
  Seconds(300);
  EXPECT_EQ(Calls("power.request shutdown"), 0);
  Seconds(1);
  EXPECT_EQ(Calls("power.request shutdown"), 1);
}

TEST_F(TaskWindows, AUserAtTheKeysNeverCountsAsIdle) {
  // The last input is asked before the tick count: input that lands between
  // the two readings must not wrap into an idle time of 49 days.
  userInput.typing = true;
  Put(1, "1|0|5|0|2|0|0|空");
  Seconds(10);
  EXPECT_TRUE(Prompts().empty());
  EXPECT_EQ(Calls("power.request shutdown"), 0);
}

TEST_F(TaskWindows, ASlotFreedAndRefilledWhileWarnedGetsNoNewWarning) {
  Put(1, "1|0|1|0|1|0|0|空");
  Seconds(kFirstTick);
  ASSERT_EQ(Prompts().size(), 1u);
  table().Free(1);  // deleted from the list after its warning
  Seconds(10);
  table().LoadFetchedRecord(1, "1|0|1|0|1|2|0|空");  // a new log-off task in the same slot
  Seconds(61);
  EXPECT_EQ(Prompts().size(), 1u);
  EXPECT_EQ(Calls("power.request logoff"), 1);
  EXPECT_EQ(Calls("power.request shutdown"), 0);
}

TEST_F(TaskWindows, ArmingNeverPostponesASlotAndARefilledSlotKeepsItsRhythm) {
  Put(1, "1|0|1|0|1|0|0|空");
  Seconds(kFirstTick + 9);
  EXPECT_EQ(table()[1].seconds, 50) << "one evaluation per second";
  table().Free(1);
  Seconds(5);
  EXPECT_EQ(table()[1].seconds, 50) << "a free slot is left alone";
  table().LoadFetchedRecord(1, "1|0|2|0|1|0|0|空");
  Seconds(1);
  EXPECT_EQ(table()[1].seconds, 119) << "the running timer takes the new task at once";
}

TEST_F(TaskWindows, EachActionReachesItsPlatformCallOnceAfterItsSlotIsFree) {
  struct Case {
    const char* record;
    const char* call;
  } const cases[] = {
      {"1|0|0|0|1|0|3|空", "power.request shutdown"},
      {"1|0|0|0|1|1|0|空", "power.request restart"},
      {"1|0|0|0|1|2|2|空", "power.request logoff"},
      {"1|0|0|0|1|3|2|/home/u/报告.txt", "shell.open /home/u/报告.txt"},
  };
  int slot = 0;
  for (const Case& c : cases) Put(++slot, c.record);
  Seconds(kFirstTick);
  for (const Case& c : cases) EXPECT_EQ(Calls(c.call), 1) << c.call;
  EXPECT_EQ(Prompts().size(), 3u) << "due at once: each power task warns in the tick it fires";
  Seconds(5);
  for (const Case& c : cases) EXPECT_EQ(Calls(c.call), 1) << c.call;
  // Slots 1 to 4 fire in turn within the tick; each call finds its own slot
  // already free and the later ones still waiting.
  EXPECT_EQ(power.busyAtCall, (std::vector<int>{0b11100, 0b11000, 0b10000}));
  EXPECT_EQ(shell.busyAtCall, std::vector<int>{0});
}

TEST_F(TaskWindows, RefusedActionsAreGoneFromTheTableAndShowNothing) {
  // A program holds up the shutdown, the chosen file was deleted, the
  // privilege was not granted: each task fires once and leaves no trace.
  sim.Power().SetPrivilegeResult(false);
  sim.Power().SetRequestResult(false);
  sim.Shell().SetOpenResult(false);
  Put(1, "1|0|0|0|1|0|0|空");
  Put(2, "1|0|0|0|1|3|2|/home/u/已删除.txt");
  Seconds(kFirstTick + 5);
  EXPECT_EQ(Calls("power.request shutdown"), 1);
  EXPECT_EQ(Calls("shell.open /home/u/已删除.txt"), 1);
  EXPECT_FALSE(table()[1].Scheduled());
  EXPECT_FALSE(table()[2].Scheduled());
  EXPECT_FALSE(backend.OpenMessageBox().has_value());
  EXPECT_EQ(Prompts().size(), 1u) << "only the shutdown's warning";
}

TEST_F(TaskWindows, TwoCloseProgramTasksBeforeTheCloseTickKeepOnlyTheLaterName) {
  sim.Processes().AddProcess(10, "Editor.EXE");
  sim.Processes().AddProcess(11, "player.exe");
  sim.Processes().AddProcess(12, "PLAYER.exe");
  Put(1, "1|0|0|0|1|3|3|editor.exe");
  Put(2, "1|0|0|0|1|3|3|Player.exe");
  Seconds(kFirstTick);
  EXPECT_EQ(values().closeTarget, "Player.exe");
  EXPECT_EQ(Calls("process.snapshot"), 0) << "closing waits for timer 12";
  Seconds(1);
  EXPECT_EQ(Calls("process.snapshot"), 1);
  EXPECT_EQ(Calls("process.terminate 11"), 1);
  EXPECT_EQ(Calls("process.terminate 12"), 1);
  EXPECT_EQ(Calls("process.terminate 10"), 0);
  Seconds(3);
  EXPECT_EQ(Calls("process.snapshot"), 1) << "timer 12 runs once";
}

TEST_F(TaskWindows, WarningCountsFrom59AndStopsAt0WithoutHoldingTheAction) {
  Put(1, "1|0|1|0|1|1|0|空");  // restart in 60 s
  Seconds(kFirstTick);
  ASSERT_EQ(Prompts().size(), 1u);
  const ui::WindowId w = Prompts()[0];
  const ui::Rect r = backend.GetWindowRect(w);
  EXPECT_EQ(r.left, (kScreen.cx - r.Width()) / 2);
  EXPECT_EQ(r.top, (kScreen.cy - r.Height()) / 2);
  EXPECT_TRUE(backend.IsTopmost(w));
  EXPECT_EQ(PromptText(w), "");
  EXPECT_EQ(backend.GetControlText(w, kPromptButton), "关闭提示");
  EXPECT_EQ(values().promptActionName, "重启");
  EXPECT_EQ(Calls("power.privilege"), 2) << "the banner and the warning";

  Seconds(1);
  EXPECT_EQ(PromptText(w), "将在 59 秒后进行 重启 ，请做好准备!");
  EXPECT_FALSE(backend.IsTopmost(w));
  Seconds(58);
  EXPECT_EQ(PromptText(w), "将在 1 秒后进行 重启 ，请做好准备!");
  EXPECT_EQ(Calls("power.request restart"), 0);
  Seconds(1);  // the window opened in the task's first tick: both end together
  EXPECT_EQ(PromptText(w), "将在 0 秒后进行 重启 ，请做好准备!");
  EXPECT_EQ(Calls("power.request restart"), 1);
  Seconds(10);
  EXPECT_EQ(PromptText(w), "将在 0 秒后进行 重启 ，请做好准备!") << "stays open at 0";
  EXPECT_EQ(values().promptCountdown, 0);

  // The restart was refused and the user never pressed the button: the next
  // warning starts from a full minute, not from where the last one stopped.
  Put(2, "1|0|1|0|1|0|0|空");
  Seconds(3);
  ASSERT_EQ(Prompts().size(), 2u);
  EXPECT_EQ(PromptText(Prompts()[1]), "将在 59 秒后进行 关机 ，请做好准备!");
  EXPECT_EQ(values().promptActionName, "关机");
}

TEST_F(TaskWindows, TwoWarningWindowsShareOneCount) {
  Put(1, "1|0|1|0|1|0|0|空");
  Put(2, "1|0|1|0|1|2|0|空");
  Seconds(kFirstTick);
  ASSERT_EQ(Prompts().size(), 2u);
  EXPECT_EQ(values().promptActionName, "注销") << "the warning opened last names the action";
  Seconds(1);
  EXPECT_EQ(values().promptCountdown, 58) << "both windows count it down";
  EXPECT_EQ(PromptText(Prompts()[0]), "将在 59 秒后进行 注销 ，请做好准备!");
  EXPECT_EQ(PromptText(Prompts()[1]), "将在 58 秒后进行 注销 ，请做好准备!");
  Seconds(40);
  EXPECT_EQ(values().promptCountdown, 0) << "and stop at 0";
  EXPECT_EQ(PromptText(Prompts()[1]), "将在 0 秒后进行 注销 ，请做好准备!");
}

TEST_F(TaskWindows, ReminderShowsItsTextOnceInFrontWithoutAnyWarningBefore) {
  Put(1, "1|0|1|0|1|3|0|时间到了哦!");
  Seconds(kFirstTick + 59);
  EXPECT_TRUE(Prompts().empty()) << "operations get no warning window";
  Seconds(1);
  ASSERT_EQ(Prompts().size(), 1u);
  const ui::WindowId w = Prompts()[0];
  EXPECT_EQ(PromptText(w), "时间到了哦!");
  EXPECT_EQ(backend.GetControlText(w, kPromptButton), "关     闭");
  EXPECT_FALSE(backend.IsTopmost(w));
  EXPECT_EQ(backend.GetWindowRect(w).left, (kScreen.cx - backend.GetWindowRect(w).Width()) / 2);
  EXPECT_FALSE(table()[1].Scheduled());
}

TEST_F(TaskWindows, AlarmRingsTheChosenSoundUntilAnyPromptButtonIsPressed) {
  struct Case {
    const char* ring;
    int resource;
  } const rings[] = {{"0", 136}, {"1", 138}, {"2", 139}, {"7", 136}};
  int slot = 0;
  for (const Case& c : rings) {
    sim.Log().Clear();
    Put(++slot, std::string("1|0|0|0|1|3|1|") + c.ring);
    Seconds(kFirstTick);
    EXPECT_EQ(Calls("sound.play " + std::to_string(c.resource)), 1) << c.ring;
    EXPECT_EQ(sim.Sound().Playing(), c.resource);
  }
  const ui::WindowId alarm = Prompts().back();
  const ui::Rect r = backend.GetWindowRect(alarm);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.left, kScreen.cx - backend.GetClientRect(alarm).Width());
  EXPECT_FALSE(backend.IsTopmost(alarm));
  EXPECT_EQ(PromptText(alarm), "闹铃正在响~```！");
  EXPECT_EQ(backend.GetControlText(alarm, kPromptButton), "闹  铃  停  止");

  // A warning opens elsewhere; its button silences the alarm.
  Put(9, "1|0|1|0|1|0|0|空");
  Seconds(kFirstTick);
  ASSERT_EQ(Prompts().size(), 5u);
  const ui::WindowId warning = Prompts().back();
  Seconds(3);
  values().listDirty = 0;
  ASSERT_TRUE(backend.Click(warning, kPromptButton));
  EXPECT_EQ(sim.Sound().Playing(), 0);
  EXPECT_EQ(Calls("sound.stop"), 1);
  EXPECT_EQ(values().promptCountdown, 60);
  EXPECT_EQ(values().listDirty, 1);
  EXPECT_EQ(Prompts().size(), 4u) << "the pressed window closed";
  EXPECT_TRUE(table()[9].Scheduled()) << "closing the warning does not stop the task";
  Seconds(57);
  EXPECT_EQ(Calls("power.request shutdown"), 1);
}

}  // namespace
}  // namespace tasks
