#include "resources/templates/app_ids.h"
#include "resources/templates/page_template.h"
#include "ui/messages.h"

namespace resources {

using namespace ui;
using namespace app;

void RegisterTemplateGroup_app() {
  // 102: the main window, with the navigation list under the account line.
  // clang-format off
  DialogTemplate main = PageTemplate(kMainTemplate, {
      {kMainCloseIcon,     ControlKind::Bitmap,   "",         {211, 0, 8, 8},    cs::kNotify, kCloseBitmap},
      {kMainTrayIcon,      ControlKind::Bitmap,   "",         {200, 0, 8, 8},    cs::kNotify, kToTrayBitmap},
      {kMainUserCaption,   ControlKind::Static,   "用户名：", {7, 18, 27, 8},    cs::kRight},
      {kMainUserLabel,     ControlKind::Static,   "",         {34, 18, 44, 8},   cs::kNotify},
      {kMainPointsCaption, ControlKind::Static,   "积分：",   {87, 18, 27, 8},   cs::kRight},
      {kMainPointsLabel,   ControlKind::Static,   "",         {114, 18, 27, 8},  0},
      {kNavigationList,    ControlKind::ListView, "",         {7, 30, 212, 72},
       cs::kIconView | cs::kSingleSel | cs::kTransparent},
  }, kMainLogo);
  // clang-format on
  main.style |= ds::kVisible | ds::kAppWindow;
  RegisterTemplate(std::move(main));

  // 100: the about box, a small captioned dialog.
  DialogTemplate about;
  about.id = kAboutTemplate;
  about.width = 170;
  about.height = 62;
  about.style = ds::kPopup | ds::kCaption | ds::kSysMenu | ds::kCenter;
  about.caption = "关于 Orvane";
  about.fontFace = "微软雅黑";
  about.fontPoints = 9;
  // clang-format off
  about.controls = {
      {kAboutLogo,      ControlKind::Bitmap, "",                       {7, 8, 50, 10},    0, kLogoBitmap},
      {kAboutVersion,   ControlKind::Static, "Orvane，6.1.2 版",       {70, 10, 94, 8},  0},
      {kAboutCopyright, ControlKind::Static, "版权所有 (C) Orvane",    {70, 24, 94, 8},  0},
      {IDOK,            ControlKind::Button, "确定",                   {113, 41, 50, 14}, cs::kDefault | cs::kTabStop},
  };
  // clang-format on
  RegisterTemplate(std::move(about));
}

}  // namespace resources
