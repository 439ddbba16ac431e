#include "resources/templates/page_template.h"
#include "resources/templates/tools_ids.h"

namespace resources {

using namespace ui;
using namespace tools;

namespace {

constexpr std::uint32_t kLine = cs::kBorder | cs::kAutoHScroll | cs::kTabStop;
constexpr std::uint32_t kLines =
    cs::kBorder | cs::kMultiline | cs::kWantReturn | cs::kAutoVScroll | cs::kVScroll | cs::kTabStop;
constexpr std::uint32_t kDropList = cs::kDropList | cs::kVScroll | cs::kTabStop;
constexpr std::uint32_t kPush = cs::kTabStop;

// The labels in front of the fields report nothing: ids of their own, below
// the numbered controls' range, one per label of a page.
constexpr int kLabelIds = 1300;

ControlTemplate Label(int& next, const char* text, DluRect rect) {
  return {next++, ControlKind::Static, text, rect, cs::kRight};
}

ControlTemplate Back() {
  return {kBackButton, ControlKind::Button, "返    回", {182, 128, 37, 12}, kPush};
}

// clang-format off
DialogTemplate ReplaceTemplate() {
  using namespace tools::replace;
  int label = kLabelIds;
  // The keyword's 77 pixels cover the end-marker row, which mode 0 hides.
  return PageTemplate(kReplaceTemplate, {
      Label(label, "目标文件夹：", {4, 17, 48, 9}),
      {kFolderEdit,      ControlKind::Edit,     "",           {54, 15, 124, 12}, kLine},
      {kFolderButton,    ControlKind::Button,   "选择",       {182, 15, 37, 12}, kPush},
      Label(label, "文件格式：", {4, 32, 48, 9}),
      {kFormatEdit,      ControlKind::Edit,     "",           {54, 30, 165, 12}, kLine},
      Label(label, "替换模式：", {4, 47, 48, 9}),
      {kModeList,        ControlKind::ComboBox, "",           {54, 45, 165, 60}, kDropList},
      Label(label, "关键词：", {4, 62, 48, 9}),
      {kKeywordEdit,     ControlKind::Edit,     "",           {54, 60, 165, 38}, kLines},
      {kEndMarkerLabel,  ControlKind::Static,   "结束标记：", {4, 79, 48, 9},    cs::kRight},
      {kEndMarkerEdit,   ControlKind::Edit,     "",           {54, 77, 165, 12}, kLine},
      Label(label, "替换为：", {4, 102, 48, 9}),
      {kReplacementEdit, ControlKind::Edit,     "",           {54, 100, 165, 24}, kLines},
      {kStartButton,     ControlKind::Button,   "开始替换",   {54, 128, 50, 12}, kPush},
      {kStatusLabel,     ControlKind::Static,   "",           {108, 126, 72, 18}, 0},
      Back(),
  }, kLogoAlt);
}

// clang-format off
DialogTemplate DownloadTemplate() {
  using namespace tools::download;
  int label = kLabelIds;
  return PageTemplate(kDownloadTemplate, {
      Label(label, "目标文件夹：", {4, 16, 48, 9}),
      {kFolderEdit,       ControlKind::Edit,     "",           {54, 14, 124, 12}, kLine},
      {kFolderButton,     ControlKind::Button,   "选择",       {182, 14, 37, 12}, kPush},
      Label(label, "文件格式：", {4, 30, 48, 9}),
      {kFormatEdit,       ControlKind::Edit,     "",           {54, 28, 165, 12}, kLine},
      Label(label, "保存文件夹：", {4, 44, 48, 9}),
      {kSaveFolderEdit,   ControlKind::Edit,     "",           {54, 42, 124, 12}, kLine},
      {kSaveFolderButton, ControlKind::Button,   "选择",       {182, 42, 37, 12}, kPush},
      Label(label, "保存路径模式：", {0, 58, 52, 9}),
      {kModeList,         ControlKind::ComboBox, "",           {54, 56, 76, 60},  kDropList},
      Label(label, "间隔时间：", {132, 58, 40, 9}),
      {kIntervalEdit,     ControlKind::Edit,     "",           {174, 56, 45, 12}, kLine},
      Label(label, "开始标识：", {4, 72, 48, 9}),
      {kStartMarkerEdit,  ControlKind::Edit,     "",           {54, 70, 165, 16}, kLines},
      {kEndMarkerLabel,   ControlKind::Static,   "结束标记：", {4, 90, 48, 9},    cs::kRight},
      {kEndMarkerEdit,    ControlKind::Edit,     "",           {54, 88, 165, 12}, kLine},
      Label(label, "拼接网址：", {4, 104, 48, 9}),
      {kUrlEdit,          ControlKind::Edit,     "",           {54, 102, 165, 22}, kLines},
      {kCheckDuplicate,   ControlKind::CheckBox, "防重复",     {4, 128, 42, 12},  kPush},
      {kStartButton,      ControlKind::Button,   "开始下载",   {54, 128, 50, 12}, kPush},
      {kStatusLabel,      ControlKind::Static,   "",           {108, 126, 72, 18}, 0},
      Back(),
  }, kLogoAlt);
}

// clang-format off
DialogTemplate ExtractTemplate() {
  using namespace tools::extract;
  int label = kLabelIds;
  std::vector<ControlTemplate> controls = {
      Label(label, "目标文件夹：", {2, 15, 46, 9}),
      {kFolderEdit,       ControlKind::Edit,     "", {50, 13, 130, 11}, kLine},
      {kFolderButton,     ControlKind::Button,   "选择", {184, 13, 35, 11}, kPush},
      Label(label, "文件格式：", {2, 27, 46, 9}),
      {kFormatEdit,       ControlKind::Edit,     "", {50, 25, 56, 11}, kLine},
      Label(label, "保存文件：", {108, 27, 38, 9}),
      {kSaveFileEdit,     ControlKind::Edit,     "", {148, 25, 71, 11}, kLine},
      Label(label, "保存文件夹：", {2, 39, 46, 9}),
      {kSaveFolderEdit,   ControlKind::Edit,     "", {50, 37, 130, 11}, kLine},
      {kSaveFolderButton, ControlKind::Button,   "选择", {184, 37, 35, 11}, kPush},
  };
  const char* starts[] = {"① 开始标记：", "② 开始标记：", "③ 开始标记：", "④ 开始标记："};
  for (int pair = 0; pair < 4; ++pair) {
    const int y = 50 + pair * 12;
    controls.push_back(Label(label, starts[pair], {2, y + 2, 46, 9}));
    controls.push_back({kFirstMarker + 2 * pair, ControlKind::Edit, "", {50, y, 72, 11}, kLines});
    controls.push_back(Label(label, "结束标记：", {124, y + 2, 36, 9}));
    controls.push_back({kFirstMarker + 2 * pair + 1, ControlKind::Edit, "", {162, y, 57, 11}, kLine});
  }
  std::vector<ControlTemplate> rest = {
      Label(label, "组合为：", {2, 100, 46, 9}),
      {kTemplateEdit,   ControlKind::Edit,     "",             {50, 98, 169, 17}, kLines},
      {kContain,        ControlKind::CheckBox, "包含标记",     {2, 117, 42, 10},  kPush},
      {kCheckDuplicate, ControlKind::CheckBox, "防重复",       {46, 117, 36, 10}, kPush},
      {kAutoLine,       ControlKind::CheckBox, "自动换行",     {84, 117, 42, 10}, kPush},
      {kEachIdentifier, ControlKind::CheckBox, "每个标识",     {128, 117, 42, 10}, kPush},
      {kEachFile,       ControlKind::CheckBox, "存为单独文件", {172, 117, 52, 10}, kPush},
      {kStartButton,    ControlKind::Button,   "开始截取",     {2, 130, 50, 12},  kPush},
      {kStatusLabel,    ControlKind::Static,   "",             {56, 130, 124, 16}, 0},
      {kBackButton,     ControlKind::Button,   "返    回",     {182, 130, 37, 12}, kPush},
  };
  for (ControlTemplate& c : rest) controls.push_back(std::move(c));
  return PageTemplate(kExtractTemplate, std::move(controls), kLogoAlt);
}
// clang-format on

}  // namespace

void RegisterTemplateGroup_tools() {
  // clang-format off
  // 166: the tools page, seven icons in a list.
  RegisterTemplate(PageTemplate(kGadgetsTemplate, {
      {gadgets::kToolList, ControlKind::ListView, "", {7, 17, 212, 88},
       cs::kIconView | cs::kSingleSel | cs::kTransparent | cs::kTabStop},
      Back(),
  }, kLogoAlt));
  // clang-format on
  RegisterTemplate(ReplaceTemplate());
  RegisterTemplate(DownloadTemplate());
  RegisterTemplate(ExtractTemplate());
}

}  // namespace resources
