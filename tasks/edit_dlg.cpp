#include "tasks/edit_dlg.h"

#include <cstdio>

#include "app/services.h"
#include "app/shared_state.h"
#include "tasks/task_sync.h"

namespace tasks {

namespace {

constexpr unsigned kSecond = 1000;
// A synchronising account's parameter edit leaves room for the synchronise box.
constexpr int kNarrowParameterWidth = 103;

constexpr const char* kModeNames[] = {"设定时", "倒计时", "离开时"};
constexpr const char* kActionNames[] = {"关机", "重启", "注销", "操作"};
constexpr const char* kOperationNames[] = {"弹窗提醒", "闹铃提醒", "打开文件", "关闭文件"};
constexpr const char* kMinuteChoices[] = {"0", "5", "10", "15", "20", "30", "45", "50"};
constexpr const char* kRingNames[] = {"0.1", "0.2", "0.3"};

constexpr int kSetTime = 0;
constexpr int kCountdown = 1;
constexpr int kOperationAction = 3;
constexpr int kReminder = 0;
constexpr int kAlarm = 1;
constexpr int kOpenFile = 2;
constexpr int kCloseFile = 3;
constexpr int kDefaultMinutes = 5;  // "30"

constexpr const char* kReminderLabel = "提示语：";
constexpr const char* kEmptyReminder = "时间到了哦!";
constexpr const char* kTableFull = "任务数量已满！";

template <std::size_t N>
void Fill(const ui::ComboBox& box, const char* const (&names)[N]) {
  for (const char* name : names) box.AddString(name);
}

std::string Number(int value) {
  return std::to_string(value);
}

// A code's index in its box; a code the box has no entry for selects nothing.
int IndexOfCode(const std::string& code) {
  return code.size() == 1 && code[0] >= '0' && code[0] <= '9' ? code[0] - '0' : -1;
}

void ShowAndEnable(const ui::Control& control, bool on) {
  control.ShowWindow(on);
  control.EnableWindow(on);
}

}  // namespace

CEditDlg::CEditDlg(ui::Dialog* parent) : app::PageBase(kEditTemplate, parent) {
  SetFallbackFontControls({kEditDateLine, kEditSignInBox, kEditModeBox, kEditActionBox,
                           kEditOperationBox, kEditHoursBox, kEditMinutesBox, kEditParameterText,
                           kEditRingBox, kEditSyncBox, kEditStatusLine, kEditSaveButton,
                           kEditBackButton});
  SetLabelColors({kEditDateLine}, {kEditStatusLine});
  OnCommand(ui::notify::kComboSelChange, kEditModeBox, &CEditDlg::OnModeChanged);
  OnCommand(ui::notify::kComboSelChange, kEditActionBox, &CEditDlg::OnActionChanged);
  OnCommand(ui::notify::kComboSelChange, kEditOperationBox, &CEditDlg::OnOperationChanged);
  OnCommand(ui::notify::kComboEditChange, kEditHoursBox, &CEditDlg::OnHoursTyped);
  OnCommand(ui::notify::kComboEditChange, kEditMinutesBox, &CEditDlg::OnMinutesTyped);
  OnClicked(kEditStopBox, &CEditDlg::OnStopClicked);
  OnClicked(kEditBackButton, &CEditDlg::OnBackClicked);
  OnClicked(kEditSaveButton, &CEditDlg::OnSave);
}

void CEditDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kEditModeBox, mode_);
  dx.Bind(kEditActionBox, action_);
  dx.Bind(kEditOperationBox, operation_);
  dx.Bind(kEditSignInBox, signIn_);
  dx.Bind(kEditHoursBox, hours_);
  dx.Bind(kEditMinutesBox, minutes_);
  dx.Bind(kEditRingBox, ring_);
  dx.Bind(kEditParameterText, parameter_);
  dx.Bind(kEditSaveButton, save_);
  dx.Bind(kEditStopBox, stop_);
  dx.Bind(kEditHoursUnit, hoursUnit_);
  dx.Bind(kEditMinutesUnit, minutesUnit_);
  dx.Bind(kEditParameterLabel, parameterLabel_);
}

bool CEditDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  app::SharedState& shared = app::Shared();
  const app::SessionState& session = shared.session;
  SharedTaskValues& values = shared.taskValues;
  SetTimer(kEditTickTimer, kSecond);

  const bool signedOut = session.signedIn == 0;
  const bool user = session.signedIn == 1 && session.accountLevel == 0;
  const bool syncing = session.signedIn == 1 && session.accountLevel == 1;
  if (signedOut || user || syncing) {
    signIn_.EnableWindow(false);
    signIn_.AddString(signedOut ? "免登陆模式" : "用户模式");
    signIn_.SetCurSel(0);
    if (!user) save_.SetWindowText("启动");
  }

  FillBoxes();
  parameter_.SetLimitText(40);
  stop_.EnableWindow(false);
  stop_.ShowWindow(false);
  // The stop box starts unticked: a tick left by an earlier visit that went
  // back without saving must not turn this visit's save into a deletion.
  values.deleteRequested = 0;

  ui::Control sync = GetDlgItem(kEditSyncBox);
  if (signedOut) {
    values.slotLimit = 2;
    // Without an account the editor only ever works on slot 1.
    if (shared.taskTable[1].inUse == "1") {
      SetLabel(kEditStatusLine, "任务已经添加！");
      values.editSlot = 1;
      ShowAndEnable(stop_, true);
    } else {
      SetLabel(kEditStatusLine, "任务尚未添加！");
    }
  } else if (user) {
    values.slotLimit = 4;
  } else if (syncing) {
    values.slotLimit = 10;
    if (shared.settings.syncTasks == 1) {
      sync.SetWindowText(values.editSlot == 0 ? "同步添加" : "同步修改");
      ShowAndEnable(sync, true);
      ui::Rect r = parameter_.GetRect();
      r.right = r.left + kNarrowParameterWidth;
      parameter_.MoveWindow(r);
    } else {
      ShowAndEnable(sync, false);
    }
  }

  if (values.editSlot == 0) {
    mode_.SetCurSel(kCountdown);
    action_.SetCurSel(kOperationAction);
    operation_.SetCurSel(kReminder);
    ring_.SetCurSel(0);
    hours_.SetCurSel(0);
    minutes_.SetCurSel(kDefaultMinutes);
    ShowAndEnable(ring_, false);
  } else {
    ShowSlot(values.editSlot);
  }
  return true;
}

void CEditDlg::FillBoxes() {
  Fill(mode_, kModeNames);
  Fill(action_, kActionNames);
  Fill(operation_, kOperationNames);
  for (int h = 0; h <= 23; ++h) hours_.AddString(Number(h));
  Fill(minutes_, kMinuteChoices);
  Fill(ring_, kRingNames);
}

void CEditDlg::ShowSlot(int slot) {
  const TaskSlot& task = app::Shared().taskTable[slot];
  save_.SetWindowText("修改");
  ShowTimeLeft();
  mode_.SetCurSel(IndexOfCode(task.mode));
  action_.SetCurSel(IndexOfCode(task.action));
  if (task.action == "3") {
    ShowAndEnable(parameterLabel_, true);
    operation_.SetCurSel(IndexOfCode(task.operation));
    if (task.operation == "1") {
      ring_.SetCurSel(IndexOfCode(task.parameter));
      ShowAndEnable(ring_, true);
      ShowAndEnable(parameter_, false);
    } else {
      ring_.SetCurSel(0);
      ShowAndEnable(ring_, false);
      parameter_.SetWindowText(task.display.parameter);
      ShowAndEnable(parameter_, true);
    }
  } else {
    operation_.SetCurSel(IndexOfCode(task.operation));
    ring_.SetCurSel(0);
    operation_.EnableWindow(false);
    ShowAndEnable(ring_, false);
    ShowAndEnable(parameter_, false);
    ShowAndEnable(parameterLabel_, false);
  }
  hours_.SetWindowText(task.hour);
  minutes_.SetWindowText(task.minute);
}

void CEditDlg::OnTimer(int timerId) {
  if (timerId == kEditTickTimer) {
    ShowDateLine();
    ShowTimeLeft();
  }
  app::PageBase::OnTimer(timerId);
}

void CEditDlg::ShowDateLine() {
  SetLabel(kEditDateLine, DateLineText(app::Services().clock.Now()));
}

void CEditDlg::ShowTimeLeft() {
  const int slot = app::Shared().taskValues.editSlot;
  if (slot < kFirstTaskSlot || slot > kLastTaskSlot) return;
  const TaskSlot& task = app::Shared().taskTable[slot];
  if (task.mode != "1") return;
  SetLabel(kEditStatusLine, task.addedAt + " 添加 还有 " + task.display.remaining + " 到时");
}

void CEditDlg::SetLabel(int id, const std::string& text) {
  SetDlgItemText(id, text);
  // The label has no background of its own: what lies under it is painted again.
  InvalidateControl(id);
}

void CEditDlg::OnModeChanged() {
  if (mode_.GetCurSel() == kSetTime) {
    hoursUnit_.SetWindowText("时");
    minutesUnit_.SetWindowText("分");
    CheckTimeBox(true, false);
    CheckTimeBox(false, false);
  } else {
    hoursUnit_.SetWindowText("小时");
    minutesUnit_.SetWindowText("分钟");
  }
}

void CEditDlg::OnHoursTyped() {
  CheckTimeBox(true, true);
}

void CEditDlg::OnMinutesTyped() {
  CheckTimeBox(false, true);
}

void CEditDlg::CheckTimeBox(bool hours, bool typed) {
  const ui::ComboBox& box = hours ? hours_ : minutes_;
  const bool setTime = mode_.GetCurSel() == kSetTime;
  for (const TimeFix& fix : CheckTimeText(box.GetWindowText(), hours, setTime, typed)) {
    MessageBox(fix.message);
    box.SetWindowText(fix.text);
  }
}

void CEditDlg::ShowOperationControls(bool shown) {
  ShowAndEnable(parameterLabel_, shown);
  const bool alarm = operation_.GetCurSel() == kAlarm;
  ShowAndEnable(alarm ? static_cast<const ui::Control&>(ring_) : parameter_, shown);
}

void CEditDlg::OnActionChanged() {
  const bool operation = action_.GetCurSel() == kOperationAction;
  operation_.EnableWindow(operation);
  ShowOperationControls(operation);
}

void CEditDlg::OnOperationChanged() {
  const int chosen = operation_.GetCurSel();
  if (chosen == kOpenFile || chosen == kCloseFile) ChooseFile(chosen);
  ShowParameterFor(operation_.GetCurSel());
}

void CEditDlg::ChooseFile(int operation) {
  parameterLabel_.SetWindowText(operation == kOpenFile ? "选择打开：" : "选择关闭：");
  const std::optional<std::string> picked = PickOpenFile({{"All Files (*.*)", "*.*"}});
  if (!picked) {
    operation_.SetCurSel(kReminder);
    parameterLabel_.SetWindowText(kReminderLabel);
    parameter_.SetWindowText("");
    return;
  }
  SharedTaskValues& values = app::Shared().taskValues;
  const std::string name = FileNameOfPath(*picked);
  // An open task keeps the whole path; a close task the program's file name.
  values.chosenFile = operation == kOpenFile ? *picked : name;
  values.chosenFileTitle = FileTitleOfName(name);
  parameter_.SetWindowText(values.chosenFile);
}

void CEditDlg::ShowParameterFor(int operation) {
  const bool alarm = operation == kAlarm;
  ShowAndEnable(parameter_, !alarm);
  ShowAndEnable(ring_, alarm);
  if (alarm) parameterLabel_.SetWindowText("铃声选择：");
  if (operation == kReminder) parameterLabel_.SetWindowText(kReminderLabel);
}

void CEditDlg::OnStopClicked() {
  const bool ticked = stop_.GetCheck() != 0;
  app::Shared().taskValues.deleteRequested = ticked ? 1 : 0;
  save_.SetWindowText(ticked ? "删除任务" : "修改");
}

void CEditDlg::OnBackClicked() {
  SharedTaskValues& values = app::Shared().taskValues;
  if (values.editSlot > 0) {
    values.editSlot = 0;
    values.listDirty = 1;
  }
  OnBack();
}

// The system close (Alt+F4, the window manager's close) leaves as the back
// button does: an edited slot still noted would turn the next "添加任务" into
// a change of that task.
void CEditDlg::OnClose() {
  OnBackClicked();
}

void CEditDlg::CloseAfterChange() {
  SharedTaskValues& values = app::Shared().taskValues;
  values.listDirty = 1;
  values.editSlot = 0;
  OnBack();
}

void CEditDlg::OnSave() {
  app::SharedState& shared = app::Shared();
  SharedTaskValues& values = shared.taskValues;
  TaskTable& table = shared.taskTable;
  const int editing = values.editSlot;
  const bool modifying = editing >= kFirstTaskSlot && editing <= kLastTaskSlot;

  if (modifying && values.deleteRequested == 1) {
    table.Free(editing);
    SetLabel(kEditStatusLine, "任务成功删除！");
    MessageBox("任务成功删除！");
    values.deleteRequested = 0;
    CloseAfterChange();
    return;
  }

  std::string oldText = "0";
  if (modifying) {
    values.saveSlot = editing;
    oldText = table.PipeText(editing);
  } else {
    EnsureScheduler(this);
    const std::optional<int> free = table.FindFreeSlot();
    if (!free) {
      MessageBox(kTableFull);
      values.tableFull = 1;
      SetLabel(kEditStatusLine, "");
      values.saveSlot = 0;
      return;
    }
    values.saveSlot = *free;
  }
  const int slot = values.saveSlot;
  if (!TaskTable::SlotUsable(slot, values.slotLimit)) {
    if (values.slotLimit == 4 || values.slotLimit == 10) MessageBox(kTableFull);
    values.saveSlot = 0;
    return;
  }

  FillSlot(slot);

  const app::SessionState& session = shared.session;
  char status[64];
  if (session.signedIn == 0) {
    std::snprintf(status, sizeof status, "任务添加成功！");
  } else if (modifying) {
    table[slot].warned = 0;
    std::snprintf(status, sizeof status, "第%d任务修改成功！", slot);
  } else {
    std::snprintf(status, sizeof status, "第%d任务添加成功！", slot);
    values.tableFull = 0;
  }
  SetLabel(kEditStatusLine, status);

  values.saveSlot = 0;
  if (session.signedIn == 0) {
    if (modifying) {
      MessageBox("任务修改成功！");
      CloseAfterChange();
    } else {
      MessageBox("任务添加成功！");
      OnBack();
    }
  } else if (session.accountLevel == 0) {
    if (modifying) {
      MessageBox("任务修改成功！");
      CloseAfterChange();
    }
  } else if (values.tableFull == 0 && shared.settings.syncTasks == 1) {
    if (IsDlgButtonChecked(kEditSyncBox)) {
      SendSavedTask(this, slot, oldText);
    } else {
      table[slot].syncFlag = "0";
      if (modifying) {
        MessageBox("任务修改成功！");
        CloseAfterChange();
      }
    }
  }
}

void CEditDlg::FillSlot(int slot) {
  TaskSlot& task = app::Shared().taskTable[slot];
  TaskDisplay& display = task.display;
  task.inUse = "1";
  display.inUse = "1";

  task.hour = hours_.GetWindowText();
  task.minute = minutes_.GetWindowText();
  display.time = task.hour + "时" + task.minute + "分";
  display.remaining = "0";

  task.category = Number(signIn_.GetCurSel());
  display.category = signIn_.GetWindowText();
  task.mode = Number(mode_.GetCurSel());
  task.action = Number(action_.GetCurSel());
  task.operation = Number(operation_.GetCurSel());
  display.mode = mode_.GetWindowText();
  display.action = action_.GetWindowText();
  display.operation = operation_.GetWindowText();

  const SharedTaskValues& values = app::Shared().taskValues;
  const int operation = operation_.GetCurSel();
  if (action_.GetCurSel() != kOperationAction) {
    task.parameter = "空";
    display.parameter = "空";
  } else if (operation == kAlarm) {
    task.parameter = Number(ring_.GetCurSel());
    display.parameter = ring_.GetWindowText();
  } else if (operation == kOpenFile || operation == kCloseFile) {
    // The last file chosen on any editor page during this run.
    task.parameter = values.chosenFile;
    display.parameter = values.chosenFileTitle;
  } else {
    task.parameter = parameter_.GetWindowText();
    if (task.parameter.empty()) task.parameter = kEmptyReminder;
    display.parameter = task.parameter;
  }

  const platform::LocalTime now = app::Services().clock.Now();
  task.addedAt = Number(now.hour) + ":" + Number(now.minute);
  display.addedAt = Number(now.hour) + "时 " + Number(now.minute) + "分";
  task.seconds = task.SecondsOfRecord();
}

}  // namespace tasks
