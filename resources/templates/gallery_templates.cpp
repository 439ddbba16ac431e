#include "resources/templates/gallery_ids.h"
#include "resources/templates/page_template.h"

namespace resources {

using namespace ui;
using namespace gallery;

// One control of every kind the pages use, laid out like a page over the page
// background, so each backend can be seen and driven.
void RegisterTemplateGroup_gallery() {
  // clang-format off
  DialogTemplate t = PageTemplate(kTemplate, {
      {kCloseIcon,  ControlKind::Bitmap,   "",         {211, 0, 8, 8},     cs::kNotify, kCloseBitmap},
      {kTitle,      ControlKind::Static,   "控件一览", {7, 12, 60, 8},     0},
      {kClickLabel, ControlKind::Static,   "点我",     {70, 12, 40, 8},    cs::kNotify},
      {kStatus,     ControlKind::Static,   "",         {115, 12, 100, 8},  0},
      {kAskButton,  ControlKind::Button,   "提示框",   {7, 24, 50, 14},    cs::kTabStop},
      {kTick,       ControlKind::CheckBox, "复选框",   {62, 24, 50, 14},   cs::kTabStop},
      {kLine,       ControlKind::Edit,     "单行文字", {117, 24, 100, 14}, cs::kBorder | cs::kAutoHScroll | cs::kTabStop},
      {kLines,      ControlKind::Edit,     "",         {7, 42, 100, 30},
       cs::kBorder | cs::kMultiline | cs::kWantReturn | cs::kAutoVScroll | cs::kVScroll | cs::kTabStop},
      {kPassword,   ControlKind::Edit,     "",         {117, 42, 100, 14}, cs::kBorder | cs::kPassword | cs::kTabStop},
      {kChoices,    ControlKind::ComboBox, "",         {117, 60, 48, 60},  cs::kDropList | cs::kVScroll | cs::kTabStop},
      {kCities,     ControlKind::ComboBox, "",         {169, 60, 48, 60},  cs::kDropDown | cs::kVScroll | cs::kTabStop},
      {kIcons,      ControlKind::ListView, "",         {7, 76, 100, 44},   cs::kIconView | cs::kSingleSel | cs::kBorder},
      {kRows,       ControlKind::ListView, "",         {117, 76, 100, 44}, cs::kReportView | cs::kSingleSel | cs::kBorder},
      {kWeb,        ControlKind::WebView,  "",         {7, 124, 100, 20},  cs::kBorder},
      {kDone,       ControlKind::Button,   "关闭",     {167, 128, 50, 14}, cs::kTabStop},
  }, kLogoAlt);
  // clang-format on
  t.style |= ds::kVisible | ds::kAppWindow;
  RegisterTemplate(std::move(t));
}

}  // namespace resources
