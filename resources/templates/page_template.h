#pragma once
#include <vector>

#include "ui/dialog_template.h"

namespace resources {

// What every page shows at the same place.
constexpr int kLogoBitmap = 155;
constexpr int kCloseBitmap = 130;
// The logo's control id: 1094 on most pages, 1095 on some.
constexpr int kLogo = 1094;
constexpr int kLogoAlt = 1095;

// The frame every page shares: 226 x 147 dialog units, a pop-up with a system
// menu, "微软雅黑" 12, and the logo at 5, 0, 40, 8 before `controls`.
ui::DialogTemplate PageTemplate(int id, std::vector<ui::ControlTemplate> controls,
                                int logoId = kLogo);

}  // namespace resources
