#include <gtest/gtest.h>

#include "app/page_base.h"
#include "app/shared_state.h"
#include "tests/ui/test_dialogs.h"

namespace {

constexpr int kPage = 510;
constexpr int kOk = 1;
constexpr int kEdit = 20;
constexpr int kLabel = 21;      // plain label: the page lies under it
constexpr int kLinkLabel = 22;  // reports clicks
constexpr int kBack = 23;

void RegisterPageTemplate() {
  ui::DialogTemplate t;
  t.id = kPage;
  t.width = 226;
  t.height = 147;
  t.style = ui::ds::kPopup | ui::ds::kSysMenu | ui::ds::kVisible;
  t.fontFace = "微软雅黑";
  t.fontPoints = 12;
  t.controls = {
      {kOk, ui::ControlKind::Button, "确定", {10, 120, 40, 14}, ui::cs::kDefault},
      {kEdit, ui::ControlKind::Edit, "abc", {10, 20, 80, 14}},
      {kLabel, ui::ControlKind::Static, "标签", {10, 40, 60, 8}},
      {kLinkLabel, ui::ControlKind::Static, "链接", {10, 60, 60, 8}, ui::cs::kNotify},
      {kBack, ui::ControlKind::Button, "返回", {60, 120, 40, 14}},
  };
  ui::RegisterTemplate(std::move(t));
}

class TestPage : public app::PageBase {
 public:
  TestPage() : app::PageBase(kPage, nullptr) {
    OnClicked(kBack, &TestPage::OnBack);
    OnClicked(kLinkLabel, &TestPage::OnLink);
    SetFallbackFontControls({kEdit, kLabel});
    SetLabelColors({kLabel}, {kLinkLabel});
  }
  int okPresses = 0;
  int linkClicks = 0;

 protected:
  void OnOK() override { ++okPresses; }

 private:
  void OnLink() { ++linkClicks; }
};

struct PageHarness : uitest::Harness {
  app::SharedStateScope state;
  PageHarness() { RegisterPageTemplate(); }
};

TEST(PageBase, EscapeAndEnterNeitherCloseNorConfirmButOtherKeysPass) {
  PageHarness h;
  TestPage page;
  ASSERT_TRUE(h.Script(R"(
    key 510 esc
    key 510 20 enter
    key 510 enter
    expect window 510 visible
    key 510 20 ctrl+a
    expect selection 510 20 0 3
    click 510 23
  )"));
  EXPECT_EQ(page.DoModal(), ui::IDCANCEL);
  EXPECT_FALSE(h.runner.Failed()) << h.runner.Report();
  EXPECT_EQ(page.okPresses, 0);
}

TEST(PageBase, DraggingTheBackgroundOrAPlainLabelMovesThePageButControlsKeepTheMouse) {
  PageHarness h;
  TestPage page;
  page.Create();
  const ui::WindowId w = page.GetSafeHwnd();
  const ui::Rect start = page.GetWindowRect();
  struct Case {
    const char* name;
    ui::Point from;
    int dx;
  };
  const Case cases[] = {
      {"background", {300, 200}, 30},
      {"plain label", {30, 84}, 30},   // inside label 21 (20..140, 80..96)
      {"notify label", {30, 124}, 0},  // label 22 reports clicks instead
      {"edit", {30, 44}, 0},
  };
  int moved = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(h.backend.Drag(w, c.from, {c.from.x + 30, c.from.y + 10}))
        << h.backend.ActionError();
    moved += c.dx;
    EXPECT_EQ(page.GetWindowRect().left, start.left + moved);
  }
  EXPECT_EQ(page.linkClicks, 1);  // pressed and released on the label: a click
}

TEST(PageBase, OldSystemsGetOneFallbackFontHoweverOftenThePagePaints) {
  struct Case {
    const char* version;
    bool fallback;
  };
  for (const Case c : {Case{"5", true}, Case{"6", false}, Case{"10", false}}) {
    SCOPED_TRACE(c.version);
    PageHarness h;
    app::Shared().paths.osMajorVersion = c.version;
    TestPage page;
    page.Create();
    for (int i = 0; i < 20; ++i) h.backend.Repaint(page.GetSafeHwnd());
    const auto font = h.backend.ControlFont(page.GetSafeHwnd(), kEdit);
    EXPECT_EQ(font.has_value(), c.fallback);
    if (font) {
      EXPECT_EQ(*font, (ui::FontSpec{"宋体", 12, 0}));
      EXPECT_EQ(page.FallbackFontsMade(), 1);
    }
    EXPECT_FALSE(h.backend.ControlFont(page.GetSafeHwnd(), kLinkLabel).has_value());
    const auto paint = h.backend.PaintLog(page.GetSafeHwnd());
    ASSERT_FALSE(paint.empty());
    EXPECT_EQ(paint.front(), "bitmap 142 0 0 452 294");
  }
}

TEST(PageBase, LabelsOnTheBackgroundGetTheHollowBrush) {
  PageHarness h;
  TestPage page;
  page.Create();
  const ui::WindowId w = page.GetSafeHwnd();
  EXPECT_EQ(h.backend.ControlColor(w, kLabel), (ui::CtlColor{true, false}));
  EXPECT_EQ(h.backend.ControlColor(w, kLinkLabel), (ui::CtlColor{true, true}));
  EXPECT_EQ(h.backend.ControlColor(w, kEdit), (ui::CtlColor{}));
}

TEST(PageBase, OsVersionIsJudgedAsANumber) {
  EXPECT_TRUE(app::IsOldWindows("5"));
  EXPECT_FALSE(app::IsOldWindows("6"));
  EXPECT_FALSE(app::IsOldWindows("10"));  // sorts below "6" as text, yet is newer
  EXPECT_TRUE(app::IsOldWindows(""));
}

}  // namespace
