#include <gtest/gtest.h>

#include "online/http_scenario_commands.h"
#include "online/server_request.h"
#include "platform/sim/sim_platform.h"
#include "tests/platform/temp_dir.h"
#include "tests/ui/test_dialogs.h"

namespace {

using uitest::kButton;
using uitest::kEdit;
using uitest::kLabel;
using uitest::kOuter;

// A page that sends the address typed into its edit as a text request and
// shows the joined reply, or the failure text, in its label.
struct Fixture {
  uitest::Harness h;
  platform::sim::SimPlatform sim;
  uitest::TestDlg dlg{kOuter};

  Fixture() {
    online::AddHttpScenarioCommands(h.runner, &sim);
    dlg.onClick = [this] {
      const auto reply = online::ServerTextRequest(sim.Get().http, dlg.GetDlgItemText(kEdit));
      dlg.SetDlgItemText(kLabel, reply.ok() ? reply.Joined() : online::FailureText(reply.failure));
    };
  }
  // Runs the script inside the page; the report when it failed.
  std::string Run(const std::string& script) {
    if (!h.Script(script)) return h.runner.Report();
    dlg.DoModal();
    return h.runner.Failed() ? h.runner.Report() : "";
  }
};

TEST(HttpScenario, RepliesByPathInGbkAndChecksTheExactAddress) {
  Fixture f;
  EXPECT_EQ(f.Run(u8R"(
    server-reply "/SoftWare/userroom/" "404m"
    server-reply "/SoftWare/userroom/stLogin.php" "login111|1|小明\n|2"
    type 501 11 "http://vendor/SoftWare/userroom/stLogin.php?dlu=1&dl=10001&password=p&w"
    click 501 10
    expect text 501 13 "login111|1|小明|2"
    expect request "/SoftWare/userroom/stLogin.php?dlu=1&dl=10001&password=p&w"
    expect request "http://vendor/SoftWare/userroom/stLogin.php?dlu=1&dl=10001&password=p&w" 1
    type 501 11 "http://vendor/SoftWare/userroom/stMember.php?cs=1"
    click 501 10
    expect text 501 13 "404m"
    expect no-request "/SoftWare/Program/"
    clear-requests
    expect request "/SoftWare/userroom/stMember.php?cs=1" 0
  )"),
            "");
}

TEST(HttpScenario, FailuresOfEitherKind) {
  Fixture f;
  EXPECT_EQ(f.Run(u8R"(
    server-fail "/a" exception
    server-fail "/b" no-file
    server-fail "/c" cut
    server-reply "/d" "<html>gone</html>" status=404
    type 501 11 "http://vendor/a?x=1"
    click 501 10
    expect text 501 13 "网络异常"
    type 501 11 "http://vendor/b"
    click 501 10
    expect text 501 13 "联网失败"
    type 501 11 "http://vendor/c"
    click 501 10
    expect text 501 13 "网络异常"
    type 501 11 "http://vendor/d"
    click 501 10
    expect text 501 13 "联网失败"
    type 501 11 "http://vendor/unscripted"
    click 501 10
    expect text 501 13 "网络异常"
  )"),
            "");
}

TEST(HttpScenario, AMissedRequestListsTheOnesMade) {
  Fixture f;
  const std::string report = f.Run(
      u8R"(
    type 501 11 "http://vendor/Too/daohang.php"
    click 501 10
    expect request "/Too/daohang.php?dlu=1"
  )");
  EXPECT_NE(report.find("http://vendor/Too/daohang.php\""), std::string::npos) << report;
}

TEST(HttpScenario, ScriptedDownloadsReachTheFile) {
  testing_support::TempDir dir;
  Fixture f;
  const std::string target = dir / "DravoUP.exe";
  bool complete = false;
  f.dlg.onClick = [&] {
    complete = online::ServerFileDownload(f.sim.Get().http, f.sim.Files(),
                                          f.dlg.GetDlgItemText(kEdit), target);
  };
  EXPECT_EQ(f.Run(u8R"(
    server-reply "/files/" "MZ"
    type 501 11 "http://vendor/files/DravoUP.exe"
    click 501 10
  )"),
            "");
  EXPECT_TRUE(complete);
  EXPECT_EQ(f.sim.Files().ReadFile(target), "MZ");
}

}  // namespace
