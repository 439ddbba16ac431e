#include <gtest/gtest.h>

#include "ui/backend/common/rules.h"

namespace uitest {
namespace {

using ui::ControlKind;
using ui::Point;
using ui::Rect;
using ui::common::DragAnswer;
using ui::common::KeyAnswer;
namespace cs = ui::cs;

TEST(BackendRules, ADragMovesThePageOnlyFromWhatLetsTheMouseThrough) {
  using Kind = DragAnswer::Kind;
  struct Case {
    const char* name;
    ControlKind kind;
    std::uint32_t style;
    bool visible;
    bool enabled;
    Point to;
    Kind want;
  };
  const Point inside{15, 15};
  const Point outside{90, 90};
  const Case cases[] = {
      {"plain label", ControlKind::Static, 0, true, true, inside, Kind::Background},
      {"plain bitmap", ControlKind::Bitmap, 0, true, true, inside, Kind::Background},
      {"group box", ControlKind::GroupBox, 0, true, true, inside, Kind::Background},
      {"hidden button", ControlKind::Button, 0, false, true, inside, Kind::Background},
      {"label that reports clicks", ControlKind::Static, cs::kNotify, true, true, inside,
       Kind::ClickControl},
      {"button released on it", ControlKind::Button, 0, true, true, inside, Kind::ClickControl},
      {"button released elsewhere", ControlKind::Button, 0, true, true, outside, Kind::Nothing},
      {"disabled button", ControlKind::Button, 0, true, false, inside, Kind::Nothing},
      {"edit", ControlKind::Edit, 0, true, true, inside, Kind::ClickControl},
      // The browser inside a web view keeps the mouse, notify style or not.
      {"web view", ControlKind::WebView, 0, true, true, inside, Kind::ClickControl},
      {"web view released elsewhere", ControlKind::WebView, 0, true, true, outside, Kind::Nothing},
  };
  for (const Case& c : cases) {
    const std::vector<ui::common::ControlUnder> under = {
        {7, Rect{10, 10, 40, 40}, c.kind, c.style, c.visible, c.enabled}};
    const DragAnswer answer = ui::common::DragStart(under, Point{12, 12}, c.to);
    EXPECT_EQ(answer.kind, c.want) << c.name;
    EXPECT_EQ(ui::common::DragStart(under, Point{50, 50}, c.to).kind, Kind::Background) << c.name;
  }
  EXPECT_EQ(ui::common::MovedBy(Rect{100, 100, 550, 390}, Point{10, 10}, Point{30, 5}),
            (Rect{120, 95, 570, 385}));
}

TEST(BackendRules, TheDialogManagerAnswersEnterEscapeAndCtrlA) {
  using Kind = KeyAnswer::Kind;
  using Focus = std::optional<ui::common::FocusedControl>;
  const Focus none;
  const Focus button = ui::common::FocusedControl{4, ControlKind::Button, 0};
  const Focus line = ui::common::FocusedControl{5, ControlKind::Edit, 0};
  const Focus lines = ui::common::FocusedControl{6, ControlKind::Edit, cs::kMultiline};
  const Focus wantReturn =
      ui::common::FocusedControl{7, ControlKind::Edit, cs::kMultiline | cs::kWantReturn};
  struct Case {
    const char* name;
    Focus focus;
    int key;
    unsigned modifiers;
    KeyAnswer want;
  };
  const Case cases[] = {
      {"escape cancels",
       line,
       ui::key::kEscape,
       0,
       {Kind::Command, ui::IDCANCEL, ui::notify::kClicked}},
      {"enter presses the default button",
       none,
       ui::key::kReturn,
       0,
       {Kind::Command, 9, ui::notify::kClicked}},
      {"enter in an edit presses it too",
       lines,
       ui::key::kReturn,
       0,
       {Kind::Command, 9, ui::notify::kClicked}},
      {"enter presses the focused button",
       button,
       ui::key::kReturn,
       0,
       {Kind::Command, 4, ui::notify::kClicked}},
      {"enter breaks a want-return edit's line",
       wantReturn,
       ui::key::kReturn,
       0,
       {Kind::LineBreak, 7, 0}},
      {"ctrl+a selects a line", line, ui::key::kA, ui::mod::kCtrl, {Kind::SelectAll, 5, 0}},
      {"ctrl+a does nothing in lines", lines, ui::key::kA, ui::mod::kCtrl, {Kind::Swallow, 6, 0}},
      {"a alone is the edit's", line, ui::key::kA, 0, {Kind::Ignore, 0, 0}},
  };
  for (const Case& c : cases) {
    const KeyAnswer got = ui::common::DialogKey(c.focus, 9, c.key, c.modifiers);
    EXPECT_EQ(got.kind, c.want.kind) << c.name;
    EXPECT_EQ(got.controlId, c.want.controlId) << c.name;
    EXPECT_EQ(got.code, c.want.code) << c.name;
  }
}

}  // namespace
}  // namespace uitest
