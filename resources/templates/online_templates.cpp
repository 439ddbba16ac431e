#include "resources/templates/online_ids.h"
#include "resources/templates/page_template.h"

namespace resources {

using namespace ui;
using namespace online;

void RegisterTemplateGroup_online() {
  // 131: the sign-in page.
  constexpr std::uint32_t kEditStyle = cs::kBorder | cs::kAutoHScroll | cs::kTabStop;
  // clang-format off
  RegisterTemplate(PageTemplate(kLoginTemplate, {
      {kLoginCloseIcon,       ControlKind::Bitmap,   "",         {211, 0, 8, 8},     cs::kNotify, kCloseBitmap},
      {kLoginIdCaption,       ControlKind::Static,   "ID帐号",   {46, 42, 32, 8},    cs::kRight},
      {kLoginId,              ControlKind::Edit,     "",         {82, 40, 96, 12},   kEditStyle},
      {kLoginPasswordCaption, ControlKind::Static,   "密码",     {46, 60, 32, 8},    cs::kRight},
      {kLoginPassword,        ControlKind::Edit,     "",         {82, 58, 96, 12},   kEditStyle | cs::kPassword},
      {kLoginRemember,        ControlKind::CheckBox, "记住密码", {82, 75, 46, 10},   cs::kTabStop},
      {kLoginAutoSignIn,      ControlKind::CheckBox, "自动登陆", {132, 75, 46, 10},  cs::kTabStop | cs::kDisabled},
      {kLoginSignIn,          ControlKind::Button,   "登陆",     {46, 94, 42, 14},   cs::kTabStop},
      {kLoginRegister,        ControlKind::Button,   "注册",     {92, 94, 42, 14},   cs::kTabStop},
      {kLoginWithoutAccount,  ControlKind::Button,   "免登陆",   {138, 94, 42, 14},  cs::kTabStop},
      {kLoginNotice,          ControlKind::Static,   "",         {7, 130, 212, 8},   cs::kCenter},
  }));
  // clang-format on
}

}  // namespace resources
