// The updater's window on real Win32 windows and its replacement of the
// program on the Windows file system, under Wine.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/text_codec.h"
#include "platform/windows/windows_session.h"
#include "program/dravoup/sha256.h"
#include "program/dravoup/updater_dlg.h"
#include "tests/platform/temp_dir.h"
#include "ui/backend/win32/win32_backend.h"
#include "ui/scenario.h"

namespace dravoup {
namespace {

namespace fs = std::filesystem;

constexpr char kQuery[] = "http://vendor.test/SoftWare/userroom/stRegulation.php?updownload=Orvane";
constexpr char kFile[] = "http://vendor.test/SoftWare/download/Orvane.exe";
constexpr char kOld[] = "MZ old program";
constexpr char kNew[] = "MZ new program 6.1.5";

std::string Utf8(const std::string& gbk) {
  return text::GbkToUtf8(gbk);
}

// The real window system, lock and file system; the server played by the
// simulated HTTP service, and the start of the new program recorded.
struct WindowsRun {
  testing_support::TempDir dir;
  std::string program = dir / "Orvane.exe";
  platform::sim::SimPlatform sim;
  platform::windows::WindowsInstanceLock lock;
  std::unique_ptr<ui::win32::Win32Backend> backend = ui::win32::CreateWin32Backend();
  ui::ScenarioRunner runner{*backend, *backend};

  WindowsRun() {
    ui::Backend::SetCurrent(backend.get());
    RegisterUpdaterTemplate();
    backend->SetScript(&runner);
    EXPECT_TRUE(sim.Files().WriteFileAtomic(program, kOld));
    sim.Http().SetReplyText(kQuery, std::string(kFile) + "|" + Sha256Hex(kNew));
    sim.Http().SetReplyText(kFile, kNew);
  }
  ~WindowsRun() {
    backend->SetScript(nullptr);
    ui::Backend::SetCurrent(nullptr);
  }

  int Run(const std::string& script) {
    EXPECT_TRUE(runner.LoadText(script, "updater")) << runner.Report();
    const int code = RunUpdater({sim.Files(), sim.Http(), lock, sim.Shell()},
                                std::string("vendor.test|Orvane|") + kQuery, program);
    runner.FinishAfterExit(code);
    EXPECT_FALSE(runner.Failed()) << runner.Report();
    return code;
  }
  std::string Read(const std::string& path) {
    return sim.Files().ReadFile(path).value_or("(none)");
  }
};

TEST(UpdaterOnWindows, ReplacesAProgramNoProcessHoldsAndStartsIt) {
  WindowsRun run;
  EXPECT_EQ(run.Run(
                // The window itself is looked at in the tests below: on a busy machine
                // this run may be past its first steps before the script looks.
                "advance 1s\n"
                "expect window 80 closed\n"),
            kUpdated);
  EXPECT_EQ(run.Read(run.program), kNew);
  EXPECT_EQ(run.Read(run.program + ".bak"), kOld);
  EXPECT_FALSE(fs::exists(run.program + ".new"));
  const std::vector<std::string> calls = run.sim.Log().Lines();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "shell.exec \"" + run.program + "\"");
}

TEST(UpdaterOnWindows, AReadOnlyProgramStaysAndTheWindowSaysWhy) {
  WindowsRun run;
  fs::permissions(run.program,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(run.Run("advance 4s\n"
                    "expect text 80 1000 \"" +
                    Utf8(FailureText(UpdateFailure::NotReplaced)) +
                    "\"\n"
                    "screenshot \"updater-failure.png\" 80\n"
                    "click 80 1001\n"
                    "expect window 80 closed\n"),
            kNotUpdated);
  fs::permissions(run.program, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(run.Read(run.program), kOld);
  EXPECT_FALSE(fs::exists(run.program + ".new"));
  EXPECT_FALSE(fs::exists(run.program + ".bak"));
}

TEST(UpdaterOnWindows, WaitsWhileTheProgramHoldsItsNamedMutex) {
  WindowsRun run;
  platform::windows::WindowsInstanceLock program;
  ASSERT_TRUE(program.Acquire(kProgramLockName));
  EXPECT_TRUE(run.lock.HeldElsewhere(kProgramLockName));
  EXPECT_EQ(run.Run("advance 1s\n"
                    "expect text 80 1000 \"" +
                    Utf8("正在等待 Orvane 退出……") +
                    "\"\n"
                    "click 80 1001\n"),
            kNotUpdated);
  EXPECT_EQ(run.Read(run.program), kOld);
}

}  // namespace
}  // namespace dravoup
