#include "tasks/task_dlg.h"

#include "app/shared_state.h"
#include "tasks/edit_dlg.h"
#include "tasks/task_sync.h"

namespace tasks {

namespace {

constexpr unsigned kSecond = 1000;
constexpr int kDeleteColumn = 4;
constexpr const char* kColumns[] = {"序号", "方式", "时间", "任务", "停止"};
constexpr const char* kNumerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
constexpr const char* kQuestionCaption = "系统提示";

}  // namespace

CTaskDlg::CTaskDlg(ui::Dialog* parent) : app::PageBase(kListTemplate, parent) {
  SetFallbackFontControls({kListView, kListHint, kListBackButton});
  SetLabelColors({kListHint}, {});
  OnNotify(ui::notify::kClick, kListView, &CTaskDlg::OnListClick);
  OnClicked(kListBackButton, &CTaskDlg::OnBackClicked);
}

void CTaskDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kListView, list_);
}

bool CTaskDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  const int width = list_.GetRect().Width();
  for (int c = 0; c < 5; ++c) {
    list_.InsertColumn(c, kColumns[c], c == 0 ? width / 9 : width / 5, ui::ListView::Align::Centre);
  }
  SetTimer(kListTickTimer, kSecond);

  const app::SharedState& shared = app::Shared();
  ui::Control box = GetDlgItem(kListSyncDeleteBox);
  if (shared.session.accountLevel == 1 && shared.settings.syncTasks == 1) {
    box.ShowWindow(true);
    box.EnableWindow(true);
    CheckDlgButton(kListSyncDeleteBox, 1);
    GetDlgItem(kListSyncNote).ShowWindow(true);
  } else {
    CheckDlgButton(kListSyncDeleteBox, 0);
    box.EnableWindow(false);
    box.ShowWindow(false);
    if (shared.session.accountLevel == 1) GetDlgItem(kListSyncNote).ShowWindow(false);
  }
  return true;
}

void CTaskDlg::OnTimer(int timerId) {
  if (timerId == kListTickTimer && app::Shared().taskValues.listDirty > 0) Rebuild();
  app::PageBase::OnTimer(timerId);
}

void CTaskDlg::Rebuild() {
  app::SharedState& shared = app::Shared();
  list_.DeleteAllItems();
  // Each row goes in at the top, so slot 1 ends up first.
  for (int slot = kLastTaskSlot; slot >= kFirstTaskSlot; --slot) {
    TaskSlot& task = shared.taskTable[slot];
    if (!task.Listed()) {
      list_.InsertItem(0, "");
      continue;
    }
    task.display.time = task.hour + "时" + task.minute + "分";
    list_.InsertItem(0, kNumerals[slot - 1]);
    list_.SetItemText(0, 1, task.display.mode);
    list_.SetItemText(0, 2, task.display.time);
    list_.SetItemText(0, 3,
                      FieldBelow(task.action, "3") ? task.display.action : task.display.operation);
    list_.SetItemText(0, 4, "删除");
  }
  shared.taskValues.listDirty = 0;
}

void CTaskDlg::OnListClick(const ui::Notification& n) {
  if (n.item < 0 || n.item >= kLastTaskSlot) return;
  app::SharedState& shared = app::Shared();
  const int slot = n.item + 1;
  shared.taskValues.editSlot = slot;
  if (!shared.taskTable[slot].Listed()) return;

  if (n.subItem == kDeleteColumn) {
    DeleteTask(slot);
    return;
  }
  CEditDlg editor(this);
  editor.DoModal();
}

void CTaskDlg::DeleteTask(int slot) {
  app::SharedState& shared = app::Shared();
  const bool onServer = IsDlgButtonChecked(kListSyncDeleteBox) != 0;
  const unsigned question = ui::mb::kOkCancel | ui::mb::kIconQuestion;
  const char* text = onServer ? "确定要网络同步删除任务吗？" : "确定要删除任务吗？";
  if (MessageBox(text, kQuestionCaption, question) != ui::IDOK) return;
  if (onServer) {
    SendDeletion(this, slot);
  } else {
    shared.taskTable.Free(slot);
  }
  shared.taskValues.listDirty = 1;
}

void CTaskDlg::OnBackClicked() {
  app::Shared().taskValues.editSlot = 0;
  OnBack();
}

// Closed by the system, the list forgets its clicked row as its button does.
void CTaskDlg::OnClose() {
  OnBackClicked();
}

}  // namespace tasks
