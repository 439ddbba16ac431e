#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/ui/test_dialogs.h"

namespace uitest {
namespace {

using ui::IDCANCEL;
using ui::IDOK;

TEST(Timers, KillingInTheHandlerMakesAOneShotAndTimersInterleaveInOrder) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.Create();
  dlg.onTimer = [&](int id) {
    if (id == 7) dlg.KillTimer(7);
  };
  dlg.SetTimer(7, 100);
  dlg.SetTimer(2, 250);
  h.backend.Advance(1000);
  EXPECT_EQ(dlg.ticks, (std::vector<int>{7, 2, 2, 2, 2}));
}

TEST(Modal, AClickOnTheDisabledOwnerFailsTheRun) {
  Harness h;
  TestDlg outer(kOuter);
  outer.onClick = [&] {
    TestDlg inner(kInner, &outer);
    inner.onClick = [&] { inner.EndDialog(42); };
    inner.DoModal();
    outer.EndDialog(IDOK);
  };
  ASSERT_TRUE(h.Script(R"(
    click 501 10
    expect window 501 disabled
    expect window 502 modal
    click 501 10
    click 502 10
    expect window 502 closed
  )"));
  outer.DoModal();
  EXPECT_TRUE(h.runner.Failed());
  EXPECT_NE(h.runner.Report().find("disabled"), std::string::npos) << h.runner.Report();
}

TEST(MessageBoxes, AnAnsweredBoxReturnsTheAnswerAndAnUnexpectedOneFailsTheRun) {
  struct Case {
    const char* name;
    const char* script;
    int answer;
    bool fails;
  };
  const Case cases[] = {
      {"ok",
       u8"click 501 10\nmsgbox ok text=\"要继续吗？\" caption=\"系统提示\" buttons=okcancel "
       u8"icon=question\n",
       IDOK, false},
      {"cancel", "click 501 10\nmsgbox cancel\n", IDCANCEL, false},
      {"wrong text", u8"click 501 10\nmsgbox ok text=\"别的\"\n", 0, true},
      {"wrong icon", "click 501 10\nmsgbox ok icon=error\n", 0, true},
      {"no such button", "click 501 10\nmsgbox yes\n", 0, true},
      {"nobody expected it", "click 501 10\nclick 501 12\n", 0, true},
      {"script ends with it open", "click 501 10\n", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    int answer = -5;
    TestDlg dlg(kOuter);
    dlg.onClick = [&] {
      answer = dlg.MessageBox("要继续吗？", "系统提示", ui::mb::kOkCancel | ui::mb::kIconQuestion);
    };
    ASSERT_TRUE(h.Script(c.script));
    dlg.DoModal();
    EXPECT_EQ(h.runner.Failed(), c.fails) << h.runner.Report();
    if (!c.fails) {
      EXPECT_EQ(answer, c.answer);
    }
  }
}

TEST(Controls, TypingRespectsTheLimitAndNeverSplitsACharacter) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.Create();
  ui::Edit edit(&dlg, kEdit);
  edit.SetLimitText(5);
  ASSERT_TRUE(h.backend.Type(dlg.GetSafeHwnd(), kEdit, "ab中文字"));
  EXPECT_EQ(dlg.GetDlgItemText(kEdit), "ab中");  // 2 + 2 bytes; the next character would cross 5
  ASSERT_TRUE(h.backend.Type(dlg.GetSafeHwnd(), kEdit, "a\r\nb"));
  EXPECT_EQ(dlg.GetDlgItemText(kEdit), "ab");  // single-line edits take no line breaks
}

TEST(Controls, ActionsOnDisabledOrHiddenControlsFail) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.Create();
  int clicks = 0;
  dlg.onClick = [&] { ++clicks; };
  dlg.GetDlgItem(kButton).EnableWindow(false);
  EXPECT_FALSE(h.backend.Click(dlg.GetSafeHwnd(), kButton));
  dlg.GetDlgItem(kButton).EnableWindow(true);
  dlg.GetDlgItem(kButton).ShowWindow(false);
  EXPECT_FALSE(h.backend.Click(dlg.GetSafeHwnd(), kButton));
  dlg.GetDlgItem(kButton).ShowWindow(true);
  EXPECT_TRUE(h.backend.Click(dlg.GetSafeHwnd(), kButton));
  EXPECT_EQ(clicks, 1);
}

TEST(Tray, OneIconPerIdWithItsTipCutBeforeACharacterWouldSplit) {
  Harness h;
  TestDlg dlg(kOuter);
  dlg.Create();
  const ui::WindowId w = dlg.GetSafeHwnd();
  const std::string tip = std::string(126, 'a') + "中";  // the character would end at byte 128
  EXPECT_TRUE(h.backend.TrayAdd(w, 151, 151, tip, ui::msg::kUser + 1));
  EXPECT_FALSE(h.backend.TrayAdd(w, 151, 151, "again", ui::msg::kUser + 1));
  const auto icons = h.backend.TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].tip, std::string(126, 'a'));
  dlg.DestroyWindow();
  EXPECT_TRUE(h.backend.TrayIcons().empty());
}

// A modeless page that frees itself and adds a system-menu command.
class SelfFreeingDlg : public TestDlg {
 public:
  explicit SelfFreeingDlg(int* alive) : TestDlg(kOuter), alive_(alive) { ++*alive_; }
  ~SelfFreeingDlg() override { --*alive_; }
  int about = 0;

 protected:
  bool OnInitDialog() override {
    AppendSystemMenuItem(0x0010, "关于", &SelfFreeingDlg::OnAbout);
    return TestDlg::OnInitDialog();
  }

 private:
  void OnAbout() { ++about; }
  int* alive_;
};

TEST(Dialogs, AModelessPageFreesItselfAndItsSystemMenuCommandReachesItsHandler) {
  Harness h;
  int alive = 0;
  auto* page = ui::Dialog::OpenModeless<SelfFreeingDlg>(&alive);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->IsWindowVisible());
  ASSERT_TRUE(h.backend.SystemCommand(page->GetSafeHwnd(), 0x0010));
  EXPECT_EQ(page->about, 1);
  ASSERT_TRUE(h.backend.SystemClose(page->GetSafeHwnd()));  // OnCancel hides it
  page->DestroyWindow();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(h.backend.LiveWindowCount(), 0);

  // One whose template is missing is never left over.
  struct Missing : ui::Dialog {
    explicit Missing(int* alive) : ui::Dialog(999), alive_(alive) { ++*alive_; }
    ~Missing() override { --*alive_; }
    int* alive_;
  };
  EXPECT_EQ(ui::Dialog::OpenModeless<Missing>(&alive), nullptr);
  EXPECT_EQ(alive, 0);
}

}  // namespace
}  // namespace uitest
