#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "online/server_text.h"
#include "online/version_check.h"
#include "tests/account/account_fixture.h"

namespace {

using accounttest::Pages;
using online::UpdateKind;
using online::VersionCheckResult;

TEST(VersionCheck, LatestVersionAndKindOfUpdate) {
  struct Case {
    const char* reply;
    UpdateKind kind;
  };
  const Case cases[] = {
      {"6.1.2", UpdateKind::None},
      {"6.1.2|说明^7.0|x", UpdateKind::None},  // only the first field of the first record
      {"6.1.5", UpdateKind::Minor},
      {"16.1", UpdateKind::Minor},  // holds "6.1"
      {"7.0", UpdateKind::Major},
      {"", UpdateKind::Major},
      {"^6.1.2", UpdateKind::Major},
      {"6.1.2 ", UpdateKind::Minor},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    EXPECT_EQ(online::ClassifyUpdate(online::LatestVersion(c.reply), "6.1.2", "6.1"), c.kind);
  }
}

TEST(VersionCheck, UpdaterPathsOnEachSystem) {
  const auto windows = online::UpdaterPathsFor("C:\\\\Orvane", "DravoUP", '\\', "ignored");
  EXPECT_EQ(windows.installed, "C:\\\\Orvane\\DravoUP.exe");
  EXPECT_EQ(windows.presentCheck, "DravoUP.exe");
  EXPECT_EQ(windows.downloadTarget, "C:\\DravoUP.exe");
  const auto linux = online::UpdaterPathsFor("/home/u/orvane", "DravoUP", '/', "/tmp");
  EXPECT_EQ(linux.installed, "/home/u/orvane/DravoUP");
  EXPECT_EQ(linux.presentCheck, "DravoUP");
  EXPECT_EQ(linux.downloadTarget, "/tmp/DravoUP");
}

// A page that runs the check when its button is clicked, once the scripted
// server is in place (the sign-in page runs it as it opens).
struct CheckPage : uitest::TestDlg {
  VersionCheckResult result = VersionCheckResult::Continue;
  CheckPage() : uitest::TestDlg(uitest::kOuter) {
    onClick = [this] { result = online::RunVersionCheck(*this); };
  }
};

constexpr char kVersionQuery[] = "/SoftWare/userroom/stRegulation.php?vBC=Orvane";
constexpr char kUpdaterQuery[] = "/SoftWare/userroom/stRegulation.php?updownload=DravoUP";

struct Update : Pages {
  testing_support::TempDir temporary;
  std::string previousTmp;

  Update() {
    if (const char* tmp = std::getenv("TMPDIR")) previousTmp = tmp;
    ::setenv("TMPDIR", temporary.path().c_str(), 1);
  }
  ~Update() {
    if (previousTmp.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", previousTmp.c_str(), 1);
    }
  }
  // The server names `latest` and hands out an updater of `bytes`.
  std::string Server(const std::string& latest, const std::string& bytes = "updater") {
    return "server-reply \"" + std::string(kVersionQuery) + "\" \"" + latest + "^rest\"\n" +
           "server-reply \"" + kUpdaterQuery + "\" \"http://files.example/DravoUP.bin\"\n" +
           "server-reply \"/DravoUP.bin\" \"" + bytes + "\"\n";
  }
  // Then the check runs.
  std::string Check(const std::string& latest, const std::string& bytes = "updater") {
    return Server(latest, bytes) + "click 501 10\n";
  }
  std::string ShellOpen() {
    const app::SharedState& shared = app::Shared();
    return "shell.open " + shared.paths.appDirectory + "/DravoUP " + shared.urls.updaterParameters;
  }
  bool Quit() { return h.backend.QuitPosted() && h.backend.ExitCode() == 18; }
};

TEST(VersionCheck, NoUpdateWhenTheServerNamesTheRunningVersion) {
  Update u;
  app::Shared().settings.autoUpdate = 0;
  CheckPage page;
  EXPECT_EQ(u.Run(page, u.Check("6.1.2") + u8R"(
    expect request "/SoftWare/userroom/stRegulation.php?vBC=Orvane" 1
    expect no-request "/SoftWare/userroom/stRegulation.php?updownload="
    expect no-call "shell.open"
  )"),
            "");
  EXPECT_EQ(page.result, VersionCheckResult::Continue);
}

TEST(VersionCheck, DecliningAMinorUpdateContinuesAMajorOneEndsTheProgram) {
  struct Case {
    const char* latest;
    const char* question;
    VersionCheckResult result;
  };
  const Case cases[] = {
      {"6.1.5", "有新版本啦，立即自动更新？", VersionCheckResult::Continue},
      {"16.1", "有新版本啦，立即自动更新？", VersionCheckResult::Continue},
      {"7.0", "有新版本啦，请立即更新！是否自动更新？", VersionCheckResult::Quitting},
      {"", "有新版本啦，请立即更新！是否自动更新？", VersionCheckResult::Quitting},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.latest);
    Update u;
    app::Shared().settings.autoUpdate = 0;
    CheckPage page;
    EXPECT_EQ(
        u.Run(page, u.Check(c.latest) + "msgbox no text=\"" + accounttest::Utf8(c.question) +
                        accounttest::Utf8("\" caption=\"版本更新\" buttons=yesno icon=question\n") +
                        "expect no-request \"/SoftWare/userroom/stRegulation.php?updownload=\"\n"),
        "");
    EXPECT_EQ(page.result, c.result);
    EXPECT_EQ(u.Quit(), c.result == VersionCheckResult::Quitting);
    EXPECT_FALSE(u.SettingsFile());  // nothing written on No
  }
}

TEST(VersionCheck, YesTurnsAutomaticUpdateOnFetchesTheUpdaterAndHandsOver) {
  Update u;
  app::SharedState& shared = app::Shared();
  shared.settings.autoUpdate = 0;
  CheckPage page;
  EXPECT_EQ(u.Run(page, u.Check("7.0", "#!/bin/sh") + u8R"(
    msgbox yes
    expect request "/DravoUP.bin" 1
  )"),
            "");
  EXPECT_EQ(page.result, VersionCheckResult::Quitting);
  EXPECT_TRUE(u.Quit());
  EXPECT_EQ(u.Setting("Up"), "1");
  EXPECT_EQ(shared.settings.autoUpdate, 1);
  EXPECT_EQ(u.sim.Files().ReadFile(u.dir / "DravoUP"), "#!/bin/sh");
  struct stat info {};
  ASSERT_EQ(::stat((u.dir / "DravoUP").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
  EXPECT_FALSE(u.sim.Files().Exists(u.temporary / "DravoUP"));
  EXPECT_EQ(u.Calls(u.ShellOpen()), 1) << u.h.runner.Report();
}

TEST(VersionCheck, AutomaticUpdateAsksNothingAndWritesNothing) {
  Update u;  // no settings file: automatic update is on
  ASSERT_EQ(app::Shared().settings.autoUpdate, 1);
  CheckPage page;
  EXPECT_EQ(u.Run(page, u.Check("6.1.5") + u8R"(
    expect msgbox none
    expect request "/DravoUP.bin" 1
  )"),
            "");
  EXPECT_TRUE(u.Quit());
  EXPECT_FALSE(u.SettingsFile());
  EXPECT_EQ(u.Calls(u.ShellOpen()), 1);
}

TEST(VersionCheck, AnUpdaterAlreadyBesideTheProgramIsStartedWithoutADownload) {
  Update u;
  ASSERT_TRUE(u.sim.Files().WriteFileAtomic(u.dir / "DravoUP", "old updater"));
  CheckPage page;
  EXPECT_EQ(u.Run(page, u.Check("6.1.5") + u8R"(
    expect no-request "/SoftWare/userroom/stRegulation.php?updownload=DravoUP"
    expect no-request "/DravoUP.bin"
  )"),
            "");
  EXPECT_TRUE(u.Quit());
  EXPECT_EQ(u.sim.Files().ReadFile(u.dir / "DravoUP"), "old updater");
  EXPECT_EQ(u.Calls(u.ShellOpen()), 1);
}

TEST(VersionCheck, AnUpdaterThatDoesNotArriveWholeIsNeverStarted) {
  struct Case {
    const char* name;
    const char* script;
    const char* messages;
  };
  const Case cases[] = {
      {"download cut", "server-fail \"/DravoUP.bin\" cut\n", "网络连接失败！"},
      {"download refused", "server-reply \"/DravoUP.bin\" \"gone\" status=404\n", "网络连接失败！"},
      {"address query unreachable",
       "server-fail \"/SoftWare/userroom/stRegulation.php?updownload=DravoUP\" exception\n",
       "网络连接异常！|网络连接失败！"},
      {"address query without reply",
       "server-fail \"/SoftWare/userroom/stRegulation.php?updownload=DravoUP\" no-file\n",
       "网络连接失败！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Update u;
    std::string script = u.Server("6.1.5") + c.script + "click 501 10\n";
    for (const std::string& text : online::SplitFields(c.messages, '|', 2)) {
      if (!text.empty()) script += "msgbox ok text=\"" + accounttest::Utf8(text) + "\"\n";
    }
    CheckPage page;
    EXPECT_EQ(u.Run(page, script + "expect no-call \"shell.open\"\n"), "");
    EXPECT_EQ(page.result, VersionCheckResult::Continue);
    EXPECT_FALSE(u.Quit());
    EXPECT_FALSE(u.sim.Files().Exists(u.dir / "DravoUP"));
    EXPECT_FALSE(u.sim.Files().Exists(u.temporary / "DravoUP"));
  }
}

TEST(VersionCheck, AFailedVersionQueryLeavesThePageOffline) {
  struct Case {
    const char* kind;
    const char* messages;
  };
  for (const Case c : {Case{"exception", "网络异常|联网失败"}, Case{"no-file", "联网失败"}}) {
    SCOPED_TRACE(c.kind);
    Update u;
    app::Shared().session.serverReachable = 1;
    std::string script = "server-fail \"/SoftWare/userroom/stRegulation.php?vBC=\" " +
                         std::string(c.kind) + "\nclick 501 10\n";
    for (const std::string& text : online::SplitFields(c.messages, '|', 2)) {
      if (!text.empty()) script += "msgbox ok text=\"" + accounttest::Utf8(text) + "\"\n";
    }
    CheckPage page;
    EXPECT_EQ(u.Run(page, script), "");
    EXPECT_EQ(page.result, VersionCheckResult::Offline);
    EXPECT_EQ(app::Shared().session.serverReachable, 0);
  }
}

}  // namespace
