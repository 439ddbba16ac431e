#include "resources/templates/template_groups.h"
#include "ui/dialog_template.h"

namespace resources {

using namespace ui;

void RegisterTaskWindowTemplates() {
  // 134: the desktop banner, a borderless strip with one line of text.
  DialogTemplate banner;
  banner.id = 134;
  banner.width = 128;
  banner.height = 12;
  banner.style = ds::kPopup | ds::kToolWindow;
  banner.fontFace = "微软雅黑";
  banner.fontPoints = 9;
  banner.controls = {
      {1036, ControlKind::Static, " 欢迎使用 Orvane !", {2, 2, 124, 8}, 0},
  };
  RegisterTemplate(std::move(banner));

  // 135: the warning, reminder and alarm window, a page of the common size.
  DialogTemplate prompt;
  prompt.id = 135;
  prompt.width = 226;
  prompt.height = 147;
  prompt.style = ds::kPopup | ds::kSysMenu;
  prompt.fontFace = "微软雅黑";
  prompt.fontPoints = 12;
  prompt.controls = {
      {1094, ControlKind::Bitmap, "", {5, 0, 40, 8}, 0, 155},
      {1037, ControlKind::Static, "", {13, 48, 200, 36}, cs::kCenter},
      {1040, ControlKind::Button, "关闭提示", {78, 108, 70, 16}, cs::kTabStop},
  };
  RegisterTemplate(std::move(prompt));
}

}  // namespace resources
