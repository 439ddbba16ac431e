#include "resources/templates/page_template.h"

namespace resources {

ui::DialogTemplate PageTemplate(int id, std::vector<ui::ControlTemplate> controls, int logoId) {
  ui::DialogTemplate t;
  t.id = id;
  t.width = 226;
  t.height = 147;
  t.style = ui::ds::kPopup | ui::ds::kSysMenu;
  t.fontFace = "微软雅黑";
  t.fontPoints = 12;
  t.controls.push_back({logoId, ui::ControlKind::Bitmap, "", {5, 0, 40, 8}, 0, kLogoBitmap});
  for (ui::ControlTemplate& c : controls) t.controls.push_back(std::move(c));
  return t;
}

}  // namespace resources
