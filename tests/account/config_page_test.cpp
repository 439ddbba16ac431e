#include <gtest/gtest.h>

#include "app/config_dlg.h"
#include "app/start_at_log_on.h"
#include "tests/account/account_fixture.h"

namespace {

using accounttest::Pages;
using app::BoxState;

constexpr BoxState kOff{false, false};
constexpr BoxState kOn{true, true};
constexpr BoxState kClear{true, false};

TEST(ConfigPage, BoxesFollowTheSession) {
  struct Case {
    const char* name;
    int signedIn, level, reachable, remember;
    BoxState sync, signIn, update;
  };
  // Every flag is on, so what a box shows is what the session allows.
  const Case cases[] = {
      {"offline, no account", 0, 0, 0, 1, kOff, kOff, kOff},
      {"server reached, no account", 0, 0, 1, 1, kOff, kOff, kOn},
      {"level 0", 1, 0, 1, 1, kOff, kOn, kOn},
      {"level 0, password not remembered", 1, 0, 1, 0, kOff, kOff, kOn},
      {"level 1", 1, 1, 1, 1, kOn, kOn, kOn},
      {"level 1, password not remembered", 1, 1, 1, 0, kOn, kOff, kOn},
      {"level 2 keeps the template", 1, 2, 1, 1, kClear, kClear, kOn},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Pages p;
    app::SharedState& shared = app::Shared();
    shared.session.signedIn = c.signedIn;
    shared.session.accountLevel = c.level;
    shared.session.serverReachable = c.reachable;
    shared.settings = {1, 1, c.remember, 1, 1};
    app::CConfigDlg page;
    ASSERT_TRUE(page.Create());
    auto state = [&](int id) {
      return BoxState{page.GetDlgItem(id).IsWindowEnabled(), page.IsDlgButtonChecked(id) == 1};
    };
    EXPECT_EQ(state(account::kConfigStartAtLogOn), kOn);
    EXPECT_EQ(state(account::kConfigSyncTasks), c.sync);
    EXPECT_EQ(state(account::kConfigAutoSignIn), c.signIn);
    EXPECT_EQ(state(account::kConfigAutoUpdate), c.update);
    EXPECT_EQ(page.GetDlgItemText(account::kConfigVersionLine), "当前版本：6.1.2");
  }
}

TEST(ConfigPage, SavingCreatesTheFolderWritesFourKeysInOrderAndStaysOpen) {
  Pages p;
  app::SharedState& shared = app::Shared();
  // Signed in at level 1 without a remembered password: synchronisation can
  // be ticked, automatic sign-in is cleared and saved as off.
  shared.session.signedIn = 1;
  shared.session.accountLevel = 1;
  shared.session.serverReachable = 1;
  shared.settings = {0, 0, 0, 1, 0};
  ASSERT_FALSE(p.sim.Files().Exists(p.dir / "Config"));
  app::CConfigDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    click 144 1057
    click 144 1078
    click 144 1099
    click 144 1070
    msgbox ok text="保存成功" buttons=ok icon=none
    expect window 144 visible
    click 144 1071
  )"),
            "");
  const auto file = p.SettingsFile();
  ASSERT_TRUE(file);
  EXPECT_LT(file->find("Hi=1"), file->find("Tb=1"));
  EXPECT_LT(file->find("Tb=1"), file->find("Tp=0"));
  EXPECT_LT(file->find("Tp=0"), file->find("Up=1"));
  EXPECT_EQ(file->find("Hp"), std::string::npos);
  EXPECT_EQ(shared.settings.startWithWindows, 1);
  EXPECT_EQ(shared.settings.syncTasks, 1);
  EXPECT_EQ(shared.settings.autoSignIn, 0);
  EXPECT_EQ(shared.settings.autoUpdate, 1);
  EXPECT_EQ(p.sim.Autostart().Entry("Orvane"),
            app::StartAtLogOnCommand(p.sim.Files().CurrentDirectory(), p.sim.Files().Separator()));
}

TEST(ConfigPage, WithoutAnAccountTheDisabledBoxesAreSavedOff) {
  Pages p;  // offline, no account, every flag on in memory
  app::SharedState& shared = app::Shared();
  shared.settings = {0, 1, 1, 1, 1};
  app::CConfigDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    expect checked 144 1099 0
    click 144 1070
    msgbox ok text="保存成功"
  )"),
            "");
  for (const char* key : {"Hi", "Tb", "Tp", "Up"}) EXPECT_EQ(p.Setting(key), "0") << key;
  EXPECT_EQ(shared.settings.syncTasks, 0);
  EXPECT_EQ(shared.settings.autoSignIn, 0);
  EXPECT_EQ(shared.settings.autoUpdate, 0);
  EXPECT_EQ(shared.settings.rememberPassword, 1);  // not the page's to change
}

TEST(ConfigPage, TheLogOnEntryIsWrittenOnEachSaveAndRemovedWhenCleared) {
  Pages p;
  app::CConfigDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    click 144 1057
    click 144 1070
    msgbox ok
    click 144 1070
    msgbox ok
    expect call "autostart.set Orvane" 2
    click 144 1057
    click 144 1070
    msgbox ok
    click 144 1070
    msgbox ok
    expect call "autostart.remove Orvane" 2
  )"),
            "");
  EXPECT_FALSE(p.sim.Autostart().Entry("Orvane"));
  EXPECT_EQ(p.Setting("Hi"), "0");
}

TEST(ConfigPage, TheLogOnEntryStartsTheProgramInTheCurrentDirectory) {
  // The directory as the system gives it, separators not doubled.
  EXPECT_EQ(app::StartAtLogOnCommand("C:\\Program Files\\Orvane", '\\'),
            "C:\\Program Files\\Orvane\\Orvane.exe");
  EXPECT_EQ(app::StartAtLogOnCommand("/home/u/orvane", '/'), "/home/u/orvane/orvane");
}

TEST(ConfigPage, ARefusedLogOnEntryStillSavesTheTickSilently) {
  Pages p;
  p.sim.Autostart().SetResult(false);
  app::CConfigDlg page;
  EXPECT_EQ(p.Run(page,
                  u8R"(
    click 144 1057
    click 144 1070
    msgbox ok text="保存成功"
  )"),
            "");
  EXPECT_EQ(p.Setting("Hi"), "1");
  EXPECT_EQ(app::Shared().settings.startWithWindows, 1);
  EXPECT_FALSE(p.sim.Autostart().Entry("Orvane"));
}

}  // namespace
