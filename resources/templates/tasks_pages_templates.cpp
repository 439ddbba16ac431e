#include "resources/templates/page_template.h"
#include "resources/templates/tasks_ids.h"

namespace resources {

using namespace ui;
using namespace tasks;

void RegisterTemplateGroup_tasks_pages() {
  constexpr std::uint32_t kList = cs::kDropList | cs::kVScroll | cs::kTabStop;
  constexpr std::uint32_t kEditable = cs::kDropDown | cs::kVScroll | cs::kTabStop;

  // 133: the task editor. The parameter edit leaves room on its right for the
  // synchronise box, which only a synchronising account sees.
  // clang-format off
  RegisterTemplate(PageTemplate(kEditTemplate, {
      {kEditDateLine,       ControlKind::Static,   "",       {20, 14, 190, 10},  0},
      {kEditSignInBox,      ControlKind::ComboBox, "",       {20, 30, 60, 60},   kList | cs::kDisabled},
      {kEditModeBox,        ControlKind::ComboBox, "",       {88, 30, 55, 60},   kList},
      {kEditActionBox,      ControlKind::ComboBox, "",       {151, 30, 55, 60},  kList},
      {kEditHoursBox,       ControlKind::ComboBox, "",       {20, 48, 40, 90},   kEditable},
      {kEditHoursUnit,      ControlKind::Static,   "小时",   {62, 50, 22, 8},    0},
      {kEditMinutesBox,     ControlKind::ComboBox, "",       {88, 48, 40, 90},   kEditable},
      {kEditMinutesUnit,    ControlKind::Static,   "分钟",   {130, 50, 22, 8},   0},
      {kEditOperationBox,   ControlKind::ComboBox, "",       {20, 66, 60, 60},   kList},
      {kEditParameterLabel, ControlKind::Static,   "提示语：", {88, 68, 40, 8},  0},
      {kEditParameterText,  ControlKind::Edit,     "",       {128, 66, 78, 13},  cs::kBorder | cs::kAutoHScroll | cs::kTabStop},
      {kEditRingBox,        ControlKind::ComboBox, "",       {128, 66, 50, 60},  kList},
      {kEditSyncBox,        ControlKind::CheckBox, "同步添加", {182, 67, 42, 10}, cs::kTabStop | cs::kHidden},
      {kEditStopBox,        ControlKind::CheckBox, " 停止",  {20, 86, 40, 10},   cs::kTabStop},
      {kEditSaveButton,     ControlKind::Button,   "确定",   {50, 104, 50, 16},  cs::kTabStop},
      {kEditBackButton,     ControlKind::Button,   "返回",   {126, 104, 50, 16}, cs::kTabStop},
      {kEditStatusLine,     ControlKind::Static,   "",       {20, 128, 190, 10}, 0},
  }, kLogoAlt));

  // 140: the task list, nine rows for the nine task slots.
  RegisterTemplate(PageTemplate(kListTemplate, {
      {kListHint,          ControlKind::Static,   "点击任务可修改！",             {10, 15, 100, 8},  0},
      {kListView,          ControlKind::ListView, "",                             {10, 25, 206, 87}, cs::kReportView | cs::kSingleSel | cs::kBorder},
      {kListSyncDeleteBox, ControlKind::CheckBox, "网络同步删除",                 {10, 116, 66, 10}, cs::kTabStop},
      {kListSyncNote,      ControlKind::Static,   "任务执行后，网络不会同步取消。", {80, 117, 136, 8}, 0},
      {kListBackButton,    ControlKind::Button,   "返    回",                     {88, 128, 50, 14}, cs::kTabStop},
  }, kLogoAlt));
  // clang-format on
}

}  // namespace resources
