#include "app/page_base.h"

#include <algorithm>

#include "app/shared_state.h"

namespace app {

bool IsOldWindows(std::string_view osMajorVersion) {
  int major = 0;
  for (char c : osMajorVersion) {
    if (c < '0' || c > '9' || major > 1000) break;
    major = major * 10 + (c - '0');
  }
  return major < 6;
}

PageBase::PageBase(int templateId, ui::Dialog* parent) : ui::Dialog(templateId, parent) {}

void PageBase::PaintSkin(ui::PaintContext& paint) {
  paint.StretchBitmap(kPageBackgroundBitmap, paint.ClientRect());
  if (!IsOldWindows(Shared().paths.osMajorVersion)) return;
  if (!oldWindowsFont_) {
    // Every field zero but the height and the face: the system picks the rest.
    oldWindowsFont_ = ui::FontSpec{"宋体", 12, 0};
    ++fontsMade_;
  }
  for (int id : fontControls_) GetDlgItem(id).SetFont(*oldWindowsFont_);
}

void PageBase::OnPaint(ui::PaintContext& paint) {
  PaintSkin(paint);
}

ui::CtlColor PageBase::OnCtlColor(int controlId) {
  ui::CtlColor color = ui::Dialog::OnCtlColor(controlId);
  auto listed = [controlId](const std::vector<int>& ids) {
    return std::find(ids.begin(), ids.end(), controlId) != ids.end();
  };
  if (listed(keepModeLabels_)) return ui::CtlColor{true, false};
  if (listed(transparentLabels_)) return ui::CtlColor{true, true};
  return color;
}

void PageBase::OnLButtonDown(ui::Point point) {
  // A press anywhere on the background moves the page, as one on a caption would.
  PostMessage(ui::msg::kNcLButtonDown, ui::kHitCaption);
  ui::Dialog::OnLButtonDown(point);
}

bool PageBase::PreTranslateMessage(const ui::Message& message) {
  if (message.message == ui::msg::kKeyDown &&
      (message.wParam == ui::key::kEscape || message.wParam == ui::key::kReturn)) {
    return true;
  }
  return ui::Dialog::PreTranslateMessage(message);
}

}  // namespace app
