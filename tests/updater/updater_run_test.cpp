// Whole runs of the updater's window, headless, over real files in a temp
// folder and real HTTP to a server on loopback.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/files/std_file_system.h"
#include "platform/linux/curl_http.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/virtual_clock.h"
#include "platform/text_codec.h"
#include "program/dravoup/sha256.h"
#include "program/dravoup/updater_dlg.h"
#include "program/dravoup/updater_ids.h"
#include "tests/platform/temp_dir.h"
#include "tests/tools/loopback_http_server.h"
#include "ui/backend/headless/headless_backend.h"
#include "ui/scenario.h"

namespace dravoup {
namespace {

using Reply = tools_test::LoopbackHttpServer::Reply;

constexpr char kQueryPath[] = "/SoftWare/userroom/stRegulation.php?updownload=Orvane";
constexpr char kFilePath[] = "/SoftWare/download/Orvane.exe";
constexpr char kOldProgram[] = "#!/bin/sh\necho old\n";
constexpr char kNewProgram[] = "#!/bin/sh\necho new 6.1.5\n";

// The program's lock held for a number of looks (-1: for good); the
// updater's own lock held by another updater or not.
class ScriptedLock : public platform::InstanceLock {
 public:
  int programHeldForProbes = 0;
  bool updaterHeldElsewhere = false;
  int probes = 0;

  bool Acquire(const std::string& name) override {
    return !(name == kUpdaterLockName && updaterHeldElsewhere);
  }
  bool HeldElsewhere(const std::string& name) override {
    EXPECT_EQ(name, kProgramLockName);
    ++probes;
    if (programHeldForProbes < 0) return true;
    if (programHeldForProbes == 0) return false;
    --programHeldForProbes;
    return true;
  }
};

// The real file system, with a program that cannot be replaced for the first
// few tries, as an executable Windows has not yet let go of.
class LateReleasingFiles : public platform::StdFileSystem {
 public:
  int refusals = 0;
  int tries = 0;
  bool ReplaceKeepingBackup(const std::string& target, const std::string& replacement,
                            const std::string& backup) override {
    ++tries;
    if (refusals > 0) {
      --refusals;
      return false;
    }
    return platform::StdFileSystem::ReplaceKeepingBackup(target, replacement, backup);
  }
};

std::string Utf8(const std::string& gbk) {
  return text::GbkToUtf8(gbk);
}

// One run's world: the old program in a temp folder, a server that offers the
// new one with its digest, the headless window system with a scripted user.
struct UpdaterRun {
  UpdaterRun() {
    ui::Backend::SetCurrent(&backend_);
    RegisterUpdaterTemplate();
    backend_.SetScript(&runner_);
    EXPECT_TRUE(files_.WriteFileAtomic(program_, kOldProgram));
    ::chmod(program_.c_str(), 0754);
    routes_[kQueryPath] = {200, server_.Base() + kFilePath + "|" + Sha256Hex(kNewProgram)};
    routes_[kFilePath] = {200, kNewProgram};
    parameters_ = Parameters();
  }
  ~UpdaterRun() {
    backend_.SetScript(nullptr);
    ui::Backend::SetCurrent(nullptr);
  }

  // The parameter text as the program's version check makes it.
  std::string Parameters() const {
    const std::string host = server_.Base().substr(7);
    return host + "|Orvane|" + server_.Base() + kQueryPath;
  }

  // Runs the updater with `script` as the user; the exit code.
  int Run(const std::string& script) {
    EXPECT_TRUE(runner_.LoadText(script, "updater")) << runner_.Report();
    const int code = RunUpdater({files_, http_, lock_, shell_}, parameters_, program_);
    runner_.FinishAfterExit(code);
    EXPECT_FALSE(runner_.Failed()) << runner_.Report();
    return code;
  }

  // Shows the failure, then the user closes the window.
  static std::string FailureScript(UpdateFailure failure, const std::string& time = "2s") {
    return "advance " + time + "\n" + "expect text 80 1000 \"" + Utf8(FailureText(failure)) +
           "\"\n" + "expect text 80 1001 \"" + Utf8("关闭") + "\"\n" + "click 80 1001\n";
  }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Read(const std::string& path) { return files_.ReadFile(path).value_or("(none)"); }
  unsigned Mode(const std::string& path) const {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
  }

  // The old program in place and nothing else left beside it.
  void ExpectOldProgramOnly() {
    EXPECT_EQ(Read(program_), kOldProgram);
    EXPECT_EQ(Mode(program_), 0754u);
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"orvane"});
    EXPECT_TRUE(log_.Lines().empty()) << "nothing was started";
  }

  testing_support::TempDir dir_;
  std::string program_ = dir_ / "orvane";
  std::string parameters_;
  std::map<std::string, Reply> routes_;
  tools_test::LoopbackHttpServer server_{[this](const std::string& path) {
    auto it = routes_.find(path);
    return it == routes_.end() ? Reply{404, "not here"} : it->second;
  }};
  platform::sim::VirtualClock clock_;
  ui::headless::HeadlessBackend backend_{clock_};
  ui::ScenarioRunner runner_{backend_, backend_};
  LateReleasingFiles files_;
  platform::CurlHttp http_;
  ScriptedLock lock_;
  platform::sim::CallLog log_;
  platform::sim::SimShell shell_{log_};
};

TEST(UpdaterRun, WaitsForTheProgramThenReplacesItKeepingItsModeAndStartsTheNewOne) {
  UpdaterRun t;
  t.lock_.programHeldForProbes = 8;  // two seconds of polling
  // A download an earlier run left behind is no download of this one.
  ASSERT_TRUE(t.files_.WriteFileAtomic(t.program_ + ".new", "stale"));
  const std::string waiting = Utf8("正在等待 Orvane 退出……");
  EXPECT_EQ(t.Run("expect window 80 visible\n"
                  "expect text 80 1000 \"" +
                  waiting +
                  "\"\n"
                  "expect text 80 1001 \"" +
                  Utf8("取消") +
                  "\"\n"
                  "advance 1s\n"
                  "expect text 80 1000 \"" +
                  waiting +
                  "\"\n"
                  "advance 5s\n"
                  "expect window 80 closed\n"),
            kUpdated);
  EXPECT_EQ(t.lock_.probes, 9);
  EXPECT_EQ(t.Read(t.program_), kNewProgram);
  EXPECT_EQ(t.Mode(t.program_), 0754u) << "the new program keeps the old one's permissions";
  EXPECT_EQ(t.Read(t.program_ + ".bak"), kOldProgram);
  EXPECT_EQ(t.FolderNames(), (std::vector<std::string>{"orvane", "orvane.bak"}));
  EXPECT_EQ(t.log_.Lines(), std::vector<std::string>{"shell.exec \"" + t.program_ + "\""});
  // The address query, as the program's text request makes it, then the file.
  const std::vector<std::string> requests = t.server_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")),
            std::string("GET ") + kQueryPath + " HTTP/1.1");
  EXPECT_NE(requests[0].find("User-Agent: Orvane\r\n"), std::string::npos);
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")),
            std::string("GET ") + kFilePath + " HTTP/1.1");
}

TEST(UpdaterRun, AReplyWithoutADigestIsTakenOnItsLengthAlone) {
  UpdaterRun t;
  t.routes_[kQueryPath] = {200, t.server_.Base() + kFilePath};
  // The query given as a path on the domain.
  t.parameters_ = t.server_.Base().substr(7) + "|Orvane|" + kQueryPath;
  EXPECT_EQ(t.Run("advance 2s\n"), kUpdated);
  EXPECT_EQ(t.Read(t.program_), kNewProgram);
}

TEST(UpdaterRun, EachFailureIsShownAndLeavesTheOldProgram) {
  struct Case {
    const char* name;
    UpdateFailure failure;
    std::function<void(UpdaterRun&)> arrange;
    std::string time = "2s";
  };
  const Case cases[] = {
      {"server unreachable", UpdateFailure::ServerUnreachable,
       [](UpdaterRun& t) { t.parameters_ = std::string("127.0.0.1:1|Orvane|") + kQueryPath; }},
      {"address query answers 404", UpdateFailure::NoAddress,
       [](UpdaterRun& t) {
         t.routes_[kQueryPath] = {404, "missing"};
       }},
      {"server has no product file", UpdateFailure::NoAddress,
       [](UpdaterRun& t) {
         t.routes_[kQueryPath] = {200, "404m"};
       }},
      {"file answers 404", UpdateFailure::DownloadFailed,
       [](UpdaterRun& t) {
         t.routes_[kFilePath] = {404, kNewProgram};
       }},
      {"body cut short", UpdateFailure::DownloadFailed,
       [](UpdaterRun& t) { t.routes_[kFilePath].promisedExtra = 100; }},
      {"empty file", UpdateFailure::DownloadFailed,
       [](UpdaterRun& t) {
         t.routes_[kQueryPath] = {200, t.server_.Base() + kFilePath};
         t.routes_[kFilePath] = {200, ""};
       }},
      {"checksum mismatch", UpdateFailure::ChecksumMismatch,
       [](UpdaterRun& t) {
         t.routes_[kFilePath] = {200, "#!/bin/sh\necho tampered\n"};
       }},
      {"executable not writable", UpdateFailure::NotReplaced,
       [](UpdaterRun& t) { ::chmod(t.program_.c_str(), 0554); }, "4s"},
      {"program still running past the time-out", UpdateFailure::StillRunning,
       [](UpdaterRun& t) { t.lock_.programHeldForProbes = -1; }, "31s"},
      {"parameter text refused", UpdateFailure::BadParameters,
       [](UpdaterRun& t) { t.parameters_ = "127.0.0.1|Orvane"; }},
      {"no program beside the updater", UpdateFailure::ProgramMissing,
       [](UpdaterRun& t) { t.program_ = t.dir_ / "Orvane-elsewhere"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UpdaterRun t;
    c.arrange(t);
    EXPECT_EQ(t.Run(UpdaterRun::FailureScript(c.failure, c.time)), kNotUpdated);
    t.program_ = t.dir_ / "orvane";
    // Read-only is the old program's own mode, as it should be.
    if (c.failure == UpdateFailure::NotReplaced) ::chmod(t.program_.c_str(), 0754);
    t.ExpectOldProgramOnly();
  }
}

TEST(UpdaterRun, StillRunningMeansThirtySecondsOfWaiting) {
  UpdaterRun t;
  t.lock_.programHeldForProbes = -1;
  const std::string waiting = Utf8("正在等待 Orvane 退出……");
  EXPECT_EQ(t.Run("advance 29s\n"
                  "expect text 80 1000 \"" +
                  waiting +
                  "\"\n"
                  "advance 2s\n"
                  "expect text 80 1000 \"" +
                  Utf8(FailureText(UpdateFailure::StillRunning)) +
                  "\"\n"
                  // Left alone, the window goes after a minute.
                  "advance 61s\n"
                  "expect window 80 closed\n"),
            kNotUpdated);
  t.ExpectOldProgramOnly();
}

TEST(UpdaterRun, CancellingWhileWaitingChangesNothing) {
  UpdaterRun t;
  t.lock_.programHeldForProbes = -1;
  EXPECT_EQ(t.Run("advance 1s\n"
                  "click 80 1001\n"
                  "expect window 80 closed\n"),
            kNotUpdated);
  t.ExpectOldProgramOnly();
  EXPECT_TRUE(t.server_.Requests().empty());
}

TEST(UpdaterRun, AProgramFileStillHeldAMomentIsReplacedOnALaterTry) {
  UpdaterRun t;
  t.files_.refusals = 3;
  EXPECT_EQ(t.Run("advance 3s\n"), kUpdated);
  EXPECT_EQ(t.files_.tries, 4);
  EXPECT_EQ(t.Read(t.program_), kNewProgram);
  EXPECT_EQ(t.Read(t.program_ + ".bak"), kOldProgram);
}

TEST(UpdaterRun, ANewProgramThatWillNotStartIsSaidSo) {
  UpdaterRun t;
  t.shell_.SetExecResult(false);
  EXPECT_EQ(t.Run(UpdaterRun::FailureScript(UpdateFailure::StartFailed)), kNotUpdated);
  EXPECT_EQ(t.Read(t.program_), kNewProgram) << "the new program stays in place";
}

TEST(UpdaterRun, ASecondUpdaterSaysSoAndEnds) {
  UpdaterRun t;
  t.lock_.updaterHeldElsewhere = true;
  EXPECT_EQ(t.Run(std::string("msgbox ok text=\"") + Utf8("升级程序已经在运行了!") +
                  "\" caption=\"DravoUP\"\n"
                  "expect windows 80 0\n"),
            kAlreadyRunning);
  t.ExpectOldProgramOnly();
  EXPECT_EQ(t.lock_.probes, 0);
  EXPECT_TRUE(t.server_.Requests().empty());
}

}  // namespace
}  // namespace dravoup
