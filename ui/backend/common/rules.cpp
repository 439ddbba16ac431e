#include "ui/backend/common/rules.h"

#include <algorithm>

namespace ui::common {

Rect DluToPixels(const DluRect& r) {
  return Rect::FromSize(r.x * kPixelsPerDluX, r.y * kPixelsPerDluY, r.w * kPixelsPerDluX,
                        r.h * kPixelsPerDluY);
}

Size DialogPixelSize(const DialogTemplate& t) {
  return {t.width * kPixelsPerDluX, t.height * kPixelsPerDluY};
}

bool TakesMouse(ControlKind kind, std::uint32_t style) {
  switch (kind) {
    case ControlKind::Static:
    case ControlKind::Bitmap:
      return (style & cs::kNotify) != 0;
    case ControlKind::GroupBox:
      return false;
    default:
      return true;
  }
}

std::string CheckReachable(const ReachView& v) {
  const std::string window = "window " + std::to_string(v.templateId);
  const std::string control = "control " + std::to_string(v.controlId);
  if (!v.windowExists) return "no such window";
  if (v.openBoxText) return "a message box is open: \"" + *v.openBoxText + "\"";
  if (!v.windowVisible) return window + " is not visible";
  if (!v.windowEnabled) return window + " is disabled (a modal window is open)";
  if (v.controlId == 0) return {};
  if (!v.controlExists) return "no " + control;
  if (!v.controlVisible) return control + " is hidden";
  if (!v.controlEnabled) return control + " is disabled";
  return {};
}

DragAnswer DragStart(const std::vector<ControlUnder>& controls, Point from, Point to) {
  for (const ControlUnder& c : controls) {
    if (c.visible && c.rect.Contains(from) && TakesMouse(c.kind, c.style)) {
      // Controls keep the mouse to themselves: no window move.
      if (c.rect.Contains(to) && c.enabled) return {DragAnswer::Kind::ClickControl, c.id};
      return {DragAnswer::Kind::Nothing, c.id};
    }
  }
  return {};
}

Rect MovedBy(const Rect& r, Point from, Point to) {
  const int dx = to.x - from.x;
  const int dy = to.y - from.y;
  return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

std::optional<ShowCommand> ShowOfSystemCommand(unsigned command) {
  // The system keeps the low four bits for itself.
  switch (command & 0xFFF0u) {
    case syscmd::kMinimize:
      return ShowCommand::Minimize;
    case syscmd::kMaximize:
      return ShowCommand::Maximize;
    case syscmd::kRestore:
      return ShowCommand::Restore;
    default:
      return std::nullopt;
  }
}

KeyAnswer DialogKey(const std::optional<FocusedControl>& focused, int defaultButton, int virtualKey,
                    unsigned modifiers) {
  using Kind = KeyAnswer::Kind;
  const bool edit = focused && focused->kind == ControlKind::Edit;
  const bool multiline = edit && (focused->style & cs::kMultiline);
  if (virtualKey == key::kEscape) return {Kind::Command, IDCANCEL, notify::kClicked};
  if (virtualKey == key::kReturn) {
    if (multiline && (focused->style & cs::kWantReturn)) return {Kind::LineBreak, focused->id, 0};
    if (focused && focused->kind == ControlKind::Button) {
      return {Kind::Command, focused->id, notify::kClicked};
    }
    return {Kind::Command, defaultButton, notify::kClicked};
  }
  if (virtualKey == key::kA && (modifiers & mod::kCtrl) && edit) {
    // Single-line edits select everything on Ctrl+A; multi-line ones do not.
    return {multiline ? Kind::Swallow : Kind::SelectAll, focused->id, 0};
  }
  return {};
}

std::string TypedText(const std::string& text, std::uint32_t editStyle) {
  if (editStyle & cs::kMultiline) return text;
  std::string typed = text;
  typed.erase(
      std::remove_if(typed.begin(), typed.end(), [](char ch) { return ch == '\r' || ch == '\n'; }),
      typed.end());
  return typed;
}

}  // namespace ui::common
