// The same promises on every port: posting order, timer restart, nested
// modal runs, quitting, and where a drag may move a page.
#include "tests/ui/backend_contract.h"

#include <atomic>
#include <thread>
#include <vector>

#include "tests/ui/test_dialogs.h"
#include "ui/worker_link.h"

namespace uitest {

void BackendContract::SetUp() {
  port_ = GetParam().make();
  if (!port_) GTEST_SKIP() << GetParam().name << " cannot run here";
  ui::Backend::SetCurrent(&port_->backend());
  RegisterTestTemplates();
}

void BackendContract::TearDown() {
  if (port_) user().SetScript(nullptr);
  ui::Backend::SetCurrent(nullptr);
  port_.reset();
}

namespace {

using ui::IDOK;

struct CountedPayload : ui::Payload {
  CountedPayload(int n, std::atomic<int>& freed) : number(n), freed(freed) {}
  ~CountedPayload() override { ++freed; }
  int number;
  std::atomic<int>& freed;
};

class PostDlg : public TestDlg {
 public:
  PostDlg() : TestDlg(kOuter) { OnPosted(ui::msg::kUser + 5, &PostDlg::OnLine); }
  std::vector<int> seen;

 private:
  void OnLine(std::uintptr_t, std::unique_ptr<ui::Payload> payload) {
    seen.push_back(static_cast<CountedPayload&>(*payload).number);
  }
};

// A dialog whose edit a worker reads through a link the dialog serves.
class ServedDlg : public TestDlg {
 public:
  ServedDlg() : TestDlg(kOuter) { OnPosted(ui::WorkerLink::kServeCall, &ServedDlg::OnCall); }

 private:
  void OnCall(std::uintptr_t, std::unique_ptr<ui::Payload> payload) {
    ui::WorkerLink::Serve(std::move(payload));
  }
};

// A dialog that moves when its background is pressed, as pages do.
class DragDlg : public ui::Dialog {
 public:
  DragDlg() : ui::Dialog(kWebTemplate) {}

 protected:
  void OnLButtonDown(ui::Point) override { PostMessage(ui::msg::kNcLButtonDown, ui::kHitCaption); }
};

}  // namespace

TEST_P(BackendContract, MessagesFromOtherThreadsArriveInOrderAndEveryPayloadIsFreedOnce) {
  std::atomic<int> freed{0};
  constexpr int kCount = 500;
  {
    PostDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const ui::WindowPoster poster = dlg.Poster();
    std::thread worker([&] {
      for (int i = 0; i < kCount; ++i) {
        poster.Post(ui::msg::kUser + 5, 0, std::make_unique<CountedPayload>(i, freed));
      }
    });
    worker.join();
    user().WaitUntil([&] { return dlg.seen.size() == kCount; }, 5000);
    ASSERT_EQ(dlg.seen.size(), static_cast<std::size_t>(kCount));
    for (int i = 0; i < kCount; ++i) ASSERT_EQ(dlg.seen[i], i);
    EXPECT_EQ(freed.load(), kCount);

    // Messages still queued when the window goes are freed, not delivered.
    poster.Post(ui::msg::kUser + 5, 0, std::make_unique<CountedPayload>(-1, freed));
    dlg.DestroyWindow();
    user().Pump();
    EXPECT_EQ(dlg.seen.size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(freed.load(), kCount + 1);
  }
  // And those nobody ever picked up go with the backend.
  {
    PostDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Poster().Post(ui::msg::kUser + 5, 0, std::make_unique<CountedPayload>(-2, freed));
  }
  Reset();
  EXPECT_EQ(freed.load(), kCount + 2);
}

TEST_P(BackendContract, AWorkerReadsControlsOnTheWindowsThreadAndNeverWaitsOnAClosedWindow) {
  ServedDlg dlg;
  ASSERT_TRUE(dlg.Create());
  dlg.SetDlgItemText(kEdit, "first");
  ui::WorkerLink link(dlg.Poster());
  std::vector<std::string> reads;  // the worker's until it is done
  std::atomic<bool> done{false};
  std::atomic<bool> sleptToEnd{true};
  std::thread worker([&] {
    // Each read runs on the window's thread; the edit changes between reads.
    for (int i = 0; i < 3; ++i) {
      std::string text;
      if (!link.Call([&] {
            text = dlg.GetDlgItemText(kEdit);
            dlg.SetDlgItemText(kEdit, "next " + std::to_string(i));
          })) {
        break;
      }
      reads.push_back(text);
    }
    sleptToEnd = link.Sleep(60000);  // ended by the close below
    done = true;
  });
  // Three reads served, then the worker sleeps until the close.
  user().WaitUntil([&] { return dlg.GetDlgItemText(kEdit) == "next 2"; }, 5000);
  link.Close();
  user().WaitUntil([&] { return done.load(); }, 5000);
  worker.join();
  ASSERT_EQ(reads, (std::vector<std::string>{"first", "next 0", "next 1"}));
  EXPECT_FALSE(sleptToEnd.load());
  EXPECT_FALSE(link.Call([] {}));
  EXPECT_FALSE(link.Post(ui::msg::kUser + 5));

  // A call whose window goes before serving it fails; the worker goes on.
  ServedDlg gone;
  ASSERT_TRUE(gone.Create());
  ui::WorkerLink goneLink(gone.Poster());
  std::atomic<int> answer{-1};
  std::thread late([&] { answer = goneLink.Call([] {}) ? 1 : 0; });
  // Let the call be queued, then let the window go without serving it.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  gone.DestroyWindow();
  user().WaitUntil([&] { return answer != -1; }, 5000);
  late.join();
  EXPECT_EQ(answer.load(), 0);
}

TEST_P(BackendContract, AControlMovesAndResizesWithinItsWindow) {
  TestDlg dlg(kOuter);
  ASSERT_TRUE(dlg.Create());
  const ui::Rect before = dlg.GetDlgItem(kEdit).GetRect();
  EXPECT_GT(before.Width(), 0);
  const ui::Rect wanted = ui::Rect::FromSize(before.left + 4, before.top + 2, before.Width(), 40);
  dlg.GetDlgItem(kEdit).MoveWindow(wanted);
  user().Pump();
  EXPECT_EQ(dlg.GetDlgItem(kEdit).GetRect(), wanted);
}

TEST_P(BackendContract, SettingARunningTimerAgainRestartsItsPeriod) {
  TestDlg dlg(kOuter);
  ASSERT_TRUE(dlg.Create());
  // Periods long enough that a loop running late on a busy machine cannot
  // make a real-time port look wrong.
  dlg.SetTimer(1, 1000);
  user().Advance(500);
  dlg.SetTimer(1, 1000);  // restarts: the next tick is 1000 ms from now, not 500
  user().Advance(700);
  EXPECT_TRUE(dlg.ticks.empty()) << "ticked at the first period's end";
  user().Advance(600);
  EXPECT_FALSE(dlg.ticks.empty());
  dlg.KillTimer(1);
  const std::size_t ticks = dlg.ticks.size();
  user().Advance(1200);
  EXPECT_EQ(dlg.ticks.size(), ticks) << "a killed timer stays quiet";
}

TEST_P(BackendContract, NestedModalRunsEndInnermostFirstWithTheOwnerDisabled) {
  ui::ScenarioRunner runner(backend(), user());
  std::vector<std::string> events;
  TestDlg outer(kOuter);
  outer.onClick = [&] {
    TestDlg inner(kInner, &outer);
    inner.onClick = [&] { inner.EndDialog(42); };
    events.push_back("inner " + std::to_string(inner.DoModal()));
    events.push_back(std::string("outer enabled ") +
                     (backend().IsEnabled(outer.GetSafeHwnd()) ? "1" : "0"));
    outer.EndDialog(7);
  };
  ASSERT_TRUE(
      runner.LoadText("click 501 10\nexpect window 501 disabled\nexpect window 502 modal\n"
                      "click 502 10\n",
                      "test"));
  user().SetScript(&runner);
  events.push_back("outer " + std::to_string(outer.DoModal()));
  EXPECT_FALSE(runner.Failed()) << runner.Report();
  EXPECT_EQ(events, (std::vector<std::string>{"inner 42", "outer enabled 1", "outer 7"}));
}

TEST_P(BackendContract, QuitEndsEveryLoopWithItsCode) {
  ui::ScenarioRunner runner(backend(), user());
  int innerResult = 0;
  int boxAfterQuit = -5;
  TestDlg outer(kOuter);
  outer.onClick = [&] {
    TestDlg inner(kInner, &outer);
    inner.onClick = [&] { inner.PostQuitMessage(18); };
    innerResult = inner.DoModal();
    // After a quit, a new modal run ends at once and no box opens.
    TestDlg late(kInner, &outer);
    EXPECT_EQ(late.DoModal(), -1);
    boxAfterQuit = outer.MessageBox("不该出现");
  };
  ASSERT_TRUE(runner.LoadText("click 501 10\nclick 502 10\n", "test"));
  user().SetScript(&runner);
  EXPECT_EQ(outer.DoModal(), -1);
  EXPECT_EQ(innerResult, -1);
  EXPECT_EQ(boxAfterQuit, 0);
  EXPECT_EQ(backend().ExitCode(), 18);
  EXPECT_FALSE(runner.Failed()) << runner.Report();
}

TEST_P(BackendContract, ADragMovesThePageFromItsBackgroundButNotFromAWebView) {
  DragDlg dlg;
  ASSERT_TRUE(dlg.Create());
  dlg.ShowWindow(ui::ShowCommand::Show);
  dlg.SetWindowPos(100, 100);
  user().Pump();
  const ui::Rect before = backend().GetWindowRect(dlg.GetSafeHwnd());
  // The web view lies at 10, 10 to 90, 50 dialog units: 20, 20 to 180, 100
  // pixels on the ports that lay out by themselves, about the same on Win32.
  ASSERT_TRUE(user().Drag(dlg.GetSafeHwnd(), {40, 40}, {70, 60})) << user().ActionError();
  EXPECT_EQ(backend().GetWindowRect(dlg.GetSafeHwnd()), before) << "moved from the web view";
  ASSERT_TRUE(user().Drag(dlg.GetSafeHwnd(), {5, 5}, {35, 25})) << user().ActionError();
  user().WaitUntil([&] { return backend().GetWindowRect(dlg.GetSafeHwnd()).left != before.left; },
                   2000);
  const ui::Rect after = backend().GetWindowRect(dlg.GetSafeHwnd());
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
}

}  // namespace uitest
