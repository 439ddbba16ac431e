#include "resources/templates/template_groups.h"
#include "ui/dialog_template.h"

namespace resources {

using namespace ui;

// One control of every kind the pages use, laid out like a page (226 x 147
// dialog units over the page background), so each backend can be seen and driven.
void RegisterGalleryTemplate() {
  DialogTemplate t;
  t.id = kGalleryTemplate;
  t.width = 226;
  t.height = 147;
  t.style = ds::kPopup | ds::kSysMenu | ds::kVisible | ds::kAppWindow;
  t.fontFace = "微软雅黑";
  t.fontPoints = 12;
  t.controls = {
      {1095, ControlKind::Bitmap, "", {5, 0, 40, 8}, 0, 155},
      {1000, ControlKind::Bitmap, "", {211, 0, 8, 8}, cs::kNotify, 130},
      {1001, ControlKind::Static, "控件一览", {7, 12, 60, 8}, 0},
      {1002, ControlKind::Static, "点我", {70, 12, 40, 8}, cs::kNotify},
      {1003, ControlKind::Static, "", {115, 12, 100, 8}, 0},
      {1004, ControlKind::Button, "提示框", {7, 24, 50, 14}, cs::kTabStop},
      {1005, ControlKind::CheckBox, "复选框", {62, 24, 50, 14}, cs::kTabStop},
      {1006, ControlKind::Edit, "单行文字", {117, 24, 100, 14}, cs::kBorder | cs::kAutoHScroll | cs::kTabStop},
      {1007, ControlKind::Edit, "", {7, 42, 100, 30},
       cs::kBorder | cs::kMultiline | cs::kWantReturn | cs::kAutoVScroll | cs::kVScroll | cs::kTabStop},
      {1008, ControlKind::Edit, "", {117, 42, 100, 14}, cs::kBorder | cs::kPassword | cs::kTabStop},
      {1009, ControlKind::ComboBox, "", {117, 60, 48, 60}, cs::kDropList | cs::kVScroll | cs::kTabStop},
      {1010, ControlKind::ComboBox, "", {169, 60, 48, 60}, cs::kDropDown | cs::kVScroll | cs::kTabStop},
      {1011, ControlKind::ListView, "", {7, 76, 100, 44}, cs::kIconView | cs::kSingleSel | cs::kBorder},
      {1012, ControlKind::ListView, "", {117, 76, 100, 44},
       cs::kReportView | cs::kSingleSel | cs::kBorder},
      {1013, ControlKind::WebView, "", {7, 124, 100, 20}, cs::kBorder},
      {1014, ControlKind::Button, "关闭", {167, 128, 50, 14}, cs::kTabStop},
  };
  RegisterTemplate(std::move(t));
}

}  // namespace resources
