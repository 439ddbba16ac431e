#include "resources/templates/page_template.h"
#include "resources/templates/tasks_ids.h"

namespace resources {

using namespace ui;
using namespace tasks;

void RegisterTemplateGroup_tasks() {
  // 134: the desktop banner, a borderless strip with one line of text.
  DialogTemplate banner;
  banner.id = kDesktopTemplate;
  banner.width = 128;
  banner.height = 12;
  banner.style = ds::kPopup | ds::kToolWindow;
  banner.fontFace = "微软雅黑";
  banner.fontPoints = 9;
  banner.controls = {
      {kBannerTextControl, ControlKind::Static, " 欢迎使用 Orvane !", {2, 2, 124, 8}, 0},
  };
  RegisterTemplate(std::move(banner));

  // 135: the warning, reminder and alarm window.
  // clang-format off
  RegisterTemplate(PageTemplate(kPromptTemplate, {
      {kPromptTextControl, ControlKind::Static, "",         {13, 48, 200, 36},  cs::kCenter},
      {kPromptButton,      ControlKind::Button, "关闭提示", {78, 108, 70, 16}, cs::kTabStop},
  }));
  // clang-format on
}

}  // namespace resources
