#include "tasks/prompt_dlg.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "tasks/prompt_rules.h"

namespace tasks {

CPromptDlg::CPromptDlg(ui::Dialog* owner) : app::PageBase(kPromptTemplate, owner) {
  SetFallbackFontControls({kPromptTextControl, kPromptButton});
  SetLabelColors({kPromptTextControl}, {});
  OnClicked(kPromptButton, &CPromptDlg::OnButton);
}

CPromptDlg* CPromptDlg::Open(ui::Dialog* owner) {
  return ui::Dialog::OpenModeless<CPromptDlg>(owner);
}

void CPromptDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kPromptButton, button_);
}

bool CPromptDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  app::SharedState& shared = app::Shared();
  SharedTaskValues& values = shared.taskValues;
  const TaskSlot& slot = shared.taskTable[values.promptSlot];

  switch (PromptKindOf(slot)) {
    case PromptKind::Warning:
      // Text and button stay as they are until the first tick.
      CenterWindow();
      SetTopmost(true);
      SetTimer(kPromptCountdownTimer, 1000);
      StartPromptCountdown(values.promptCountdown);
      if (auto name = PowerActionName(slot.action)) values.promptActionName = *name;
      break;
    case PromptKind::Reminder:
      button_.SetWindowText(kReminderCloseLabel);
      CenterWindow();
      // Brought to the front once, then an ordinary window that may be covered.
      SetTopmost(true);
      SetDlgItemText(kPromptTextControl, slot.parameter);
      SetTopmost(false);
      break;
    case PromptKind::Alarm: {
      button_.SetWindowText(kAlarmStopLabel);
      const ui::Size screen = ScreenSize();
      SetWindowPos(screen.cx - GetClientRect().Width(), 0);
      SetDlgItemText(kPromptTextControl, kAlarmText);
      app::Services().sound.PlayLooped(AlarmSoundResource(slot.parameter));
      break;
    }
    case PromptKind::Other:
      break;
  }
  app::Services().power.EnableShutdownPrivilege();
  return true;
}

void CPromptDlg::OnTimer(int timerId) {
  if (timerId == kPromptCountdownTimer) {
    SharedTaskValues& values = app::Shared().taskValues;
    if (TickPromptCountdown(values.promptCountdown)) KillTimer(kPromptCountdownTimer);
    SetDlgItemText(kPromptTextControl,
                   WarningText(values.promptCountdown, values.promptActionName));
    InvalidateControl(kPromptTextControl);
    SetTopmost(false);
  }
  app::PageBase::OnTimer(timerId);
}

void CPromptDlg::OnButton() {
  // Any prompt's button silences whatever rings, also another window's alarm.
  app::Services().sound.Stop();
  KillTimer(kPromptCountdownTimer);
  SharedTaskValues& values = app::Shared().taskValues;
  values.promptCountdown = kPromptCountdownStart;
  values.listDirty = 1;
  OnCancel();
}

// The system close (Alt+F4, the window manager's close) acts as the button:
// an alarm whose window went without it would ring on with no button left to
// stop it.
void CPromptDlg::OnClose() {
  OnButton();
}

// A closed prompt is gone, not hidden: every warning opens a new window.
void CPromptDlg::OnCancel() {
  DestroyWindow();
}

}  // namespace tasks
