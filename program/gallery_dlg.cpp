#include "program/gallery_dlg.h"

#include "resources/templates/gallery_ids.h"

namespace {
using namespace gallery;
constexpr int kTaskIcon = 151;
constexpr int kQuitCode = 18;
}  // namespace

CGalleryDlg::CGalleryDlg(ui::Dialog* parent) : app::PageBase(kTemplate, parent) {
  OnClicked(kCloseIcon, &CGalleryDlg::OnCloseIcon);
  OnClicked(kClickLabel, &CGalleryDlg::OnLabel);
  OnClicked(kAskButton, &CGalleryDlg::OnAsk);
  OnClicked(kTick, &CGalleryDlg::OnTick);
  OnCommand(ui::notify::kEditChange, kLine, &CGalleryDlg::OnEditChange);
  OnCommand(ui::notify::kComboSelChange, kChoices, &CGalleryDlg::OnChoose);
  OnNotify(ui::notify::kClick, kIcons, &CGalleryDlg::OnListClick);
  OnNotify(ui::notify::kClick, kRows, &CGalleryDlg::OnListClick);
  OnClicked(kDone, &CGalleryDlg::OnDone);
  SetFallbackFontControls({kTitle, kClickLabel, kStatus, kAskButton, kTick});
  SetLabelColors({kTitle}, {kClickLabel, kStatus});
}

void CGalleryDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kChoices, choices_);
  dx.Bind(kCities, cities_);
  dx.Bind(kIcons, icons_);
  dx.Bind(kRows, rows_);
  dx.Bind(kPassword, password_);
  dx.Bind(kWeb, web_);
}

bool CGalleryDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  for (const char* text : {"选项一", "选项二", "选项三"}) choices_.AddString(text);
  for (const char* text : {"北京", "上海", "广州"}) cities_.AddString(text);
  password_.SetLimitText(8);
  SetDlgItemText(kLines, "第一行\r\n第二行");

  icons_.SetImageList(ui::ImageList{32, 32, {kTaskIcon, kTaskIcon, kTaskIcon}});
  icons_.SetBkColor(ui::Rgb(240, 240, 240));
  int index = 0;
  for (const char* text : {"任务一", "任务二", "任务三"}) {
    icons_.InsertItem(index, text, index);
    ++index;
  }
  rows_.InsertColumn(0, "名称", 70);
  rows_.InsertColumn(1, "时间", 70);
  rows_.InsertColumn(2, "状态", 60);
  rows_.InsertItem(0, "关机");
  rows_.SetItemText(0, 1, "12:30");
  rows_.SetItemText(0, 2, "等待");
  rows_.InsertItem(1, "提醒");
  rows_.SetItemText(1, 1, "18:00");
  rows_.SetItemText(1, 2, "完成");
  web_.Navigate("about:blank");
  CenterWindow();
  Say("就绪");
  return true;
}

void CGalleryDlg::Say(const std::string& text) {
  SetDlgItemText(kStatus, text);
  // The label is drawn straight onto the background: repaint what lies under it.
  Invalidate();
}

void CGalleryDlg::OnCloseIcon() {
  if (MessageBox("确定要关闭吗？", "系统提示", ui::mb::kOkCancel | ui::mb::kIconQuestion) ==
      ui::IDOK) {
    PostQuitMessage(kQuitCode);
  }
}

void CGalleryDlg::OnLabel() {
  Say("点击了标签");
}

void CGalleryDlg::OnAsk() {
  const int answer =
      MessageBox("要继续吗？", "系统提示", ui::mb::kOkCancel | ui::mb::kIconQuestion);
  Say(answer == ui::IDOK ? "选择了确定" : "选择了取消");
}

void CGalleryDlg::OnTick() {
  Say(IsDlgButtonChecked(kTick) ? "已勾选" : "未勾选");
}

void CGalleryDlg::OnEditChange() {
  Say("输入：" + GetDlgItemText(kLine));
}

void CGalleryDlg::OnChoose() {
  const int selection = choices_.GetCurSel();
  Say("选择：" + (selection >= 0 ? choices_.GetLBText(selection) : std::string()));
}

void CGalleryDlg::OnListClick(const ui::Notification& n) {
  Say("列表 " + std::to_string(n.controlId) + " 第 " + std::to_string(n.item) + " 项 第 " +
      std::to_string(n.subItem) + " 列");
}

void CGalleryDlg::OnDone() {
  EndDialog(ui::IDOK);
}
