#include <gtest/gtest.h>

#include "tests/ui/test_dialogs.h"

namespace uitest {
namespace {

TEST(ScenarioFiles, SyntaxErrorsNameTheirLine) {
  struct Case {
    const char* script;
    const char* report;
  };
  const Case cases[] = {
      {"click 501 10\nfrobnicate 1\n", "test:2: unknown command \"frobnicate\""},
      {"# comment\n\ntype 501 11 \"open\n", "test:3: unterminated quote"},
      {"click 501 10\nstart gallery\n", "test:2: \"start ENTRY\" must be the first command"},
  };
  for (const Case& c : cases) {
    Harness h;
    EXPECT_FALSE(h.Script(c.script));
    EXPECT_NE(h.runner.Report().find(c.report), std::string::npos) << h.runner.Report();
  }
}

TEST(ScenarioFiles, AFailedExpectationStopsTheRunAndSaysWhatWasSeen) {
  Harness h;
  TestDlg dlg(kOuter);
  ASSERT_TRUE(
      h.Script(u8R"(
    type 501 11 "你好"
    expect text 501 11 "再见"
    click 501 10
  )"));
  int clicks = 0;
  dlg.onClick = [&] { ++clicks; };
  dlg.DoModal();
  ASSERT_TRUE(h.runner.Failed());
  EXPECT_EQ(clicks, 0);
  EXPECT_NE(h.runner.Report().find("test:3:"), std::string::npos) << h.runner.Report();
  EXPECT_NE(h.runner.Report().find(u8"saw \"你好\""), std::string::npos) << h.runner.Report();
}

TEST(ScenarioFiles, ExitCodeIsCheckedAfterTheProgramEnds) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.onClick = [&] { h.backend.PostQuit(18); };
  ASSERT_TRUE(h.Script("click 501 10\nexpect exit 18\n"));
  dlg.DoModal();
  h.runner.FinishAfterExit(h.backend.ExitCode());
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();

  Harness early;
  TestDlg other(kOuter);
  ASSERT_TRUE(early.Script("expect exit 0\n"));
  other.DoModal();
  EXPECT_NE(early.runner.Report().find("still running"), std::string::npos);
}

TEST(ScenarioFiles, TimeAdvancesOnlyWhenTheScriptSaysSo) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.onInit = [&] {
    dlg.SetTimer(1, 1000);
    return true;
  };
  dlg.onTimer = [&](int) { dlg.SetDlgItemText(kLabel, std::to_string(dlg.ticks.size())); };
  ASSERT_TRUE(h.Script(R"(
    expect text 501 13 ""
    advance 999ms
    expect text 501 13 ""
    advance 1ms
    expect text 501 13 "1"
    advance 2m
    expect text 501 13 "121"
    time 2026-12-31 23:59:59
  )"));
  dlg.DoModal();
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  EXPECT_EQ(h.clock.Now().year, 2026);
  EXPECT_EQ(h.clock.Now().second, 59);
}

}  // namespace
}  // namespace uitest
