#include "resources/templates/account_ids.h"
#include "resources/templates/page_template.h"

namespace resources {

using namespace ui;
using namespace account;

void RegisterTemplateGroup_account() {
  constexpr std::uint32_t kEdit = cs::kBorder | cs::kAutoHScroll | cs::kTabStop;
  constexpr std::uint32_t kButton = cs::kTabStop;

  // 144: the settings page.
  // clang-format off
  RegisterTemplate(PageTemplate(kConfigTemplate, {
      {kConfigStartAtLogOn, ControlKind::CheckBox, "开机启动", {17, 18, 35, 10},   kButton},
      {kConfigSyncTasks,    ControlKind::CheckBox, "网络同步", {64, 18, 35, 10},   kButton},
      {kConfigAutoSignIn,   ControlKind::CheckBox, "自动登陆", {17, 30, 35, 10},   kButton},
      {kConfigAutoUpdate,   ControlKind::CheckBox, "自动更新", {64, 30, 35, 10},   kButton},
      {kConfigSave,         ControlKind::Button,   "确  定",   {128, 116, 32, 11}, kButton},
      {kConfigBack,         ControlKind::Button,   "返  回",   {172, 116, 32, 11}, kButton},
      {kConfigVersionLine,  ControlKind::Static,   "",         {7, 131, 212, 9},   0},
  }));

  // 141: the registration page.
  RegisterTemplate(PageTemplate(kMemberTemplate, {
      {kMemberEmailLabel,         ControlKind::Static,   "邮箱(必填)：", {14, 20, 48, 9},   cs::kRight},
      {kMemberEmail,              ControlKind::Edit,     "",             {64, 18, 80, 12},  kEdit},
      {kMemberPasswordLabel,      ControlKind::Static,   "密码(必填)：", {14, 35, 48, 9},   cs::kRight},
      {kMemberPassword,           ControlKind::Edit,     "",             {64, 33, 80, 12},  kEdit | cs::kPassword},
      {kMemberPasswordAgainLabel, ControlKind::Static,   "重复密码：",   {14, 50, 48, 9},   cs::kRight},
      {kMemberPasswordAgain,      ControlKind::Edit,     "",             {64, 48, 80, 12},  kEdit | cs::kPassword},
      {kMemberNicknameLabel,      ControlKind::Static,   "昵称(必填)：", {14, 65, 48, 9},   cs::kRight},
      {kMemberNickname,           ControlKind::Edit,     "",             {64, 63, 80, 12},  kEdit},
      {kMemberSexLabel,           ControlKind::Static,   "性别：",       {14, 80, 48, 9},   cs::kRight},
      {kMemberSex,                ControlKind::ComboBox, "",             {64, 78, 80, 40},  cs::kDropList | cs::kTabStop},
      {kMemberQqLabel,            ControlKind::Static,   "QQ：",         {14, 95, 48, 9},   cs::kRight},
      {kMemberQq,                 ControlKind::Edit,     "",             {64, 93, 80, 12},  kEdit},
      {kMemberRegister,           ControlKind::Button,   "注   册",      {64, 114, 36, 12}, kButton},
      {kMemberBack,               ControlKind::Button,   "返   回",      {108, 114, 36, 12}, kButton},
      {kMemberScanCode,           ControlKind::Bitmap,   "",             {160, 18, 50, 50}, 0, kMemberScanCodeBitmap},
      {kMemberScanLine1,          ControlKind::Static,   "微信扫码注册", {152, 72, 66, 9},  cs::kCenter},
      {kMemberScanLine2,          ControlKind::Static,   "完善资料后",   {152, 82, 66, 9},  cs::kCenter},
      // The longest line takes the page's width up to its edge: at the page
      // font on Windows it needs about 76 units.
      {kMemberScanLine3,          ControlKind::Static,   "到 我的信息 查看ID账号", {146, 92, 78, 9}, cs::kCenter},
  }));

  // 152: the feedback page.
  RegisterTemplate(PageTemplate(kComplainTemplate, {
      {kComplainNameLabel,    ControlKind::Static, "称呼 Name：",    {14, 20, 56, 9},   cs::kRight},
      {kComplainName,         ControlKind::Edit,   "",               {72, 18, 100, 12}, kEdit},
      {kComplainEmailLabel,   ControlKind::Static, "邮箱 Email：",   {14, 35, 56, 9},   cs::kRight},
      {kComplainEmail,        ControlKind::Edit,   "",               {72, 33, 100, 12}, kEdit},
      {kComplainMessageLabel, ControlKind::Static, "内容 Message：", {14, 50, 56, 9},   cs::kRight},
      {kComplainMessage,      ControlKind::Edit,   "",               {72, 48, 130, 60},
       cs::kBorder | cs::kMultiline | cs::kWantReturn | cs::kAutoVScroll | cs::kVScroll | cs::kTabStop},
      {kComplainSubmit,       ControlKind::Button, "提 交",          {128, 116, 32, 11}, kButton},
      {kComplainBack,         ControlKind::Button, "返 回",          {172, 116, 32, 11}, kButton},
  }));
  // clang-format on
}

}  // namespace resources
