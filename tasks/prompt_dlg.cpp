#include "tasks/prompt_dlg.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "tasks/prompt_rules.h"
#include "ui/dialog_template.h"

namespace tasks {

CPromptDlg::CPromptDlg(ui::Dialog* owner) : app::PageBase(kPromptTemplate, owner) {
  SetFallbackFontControls({kPromptTextControl, kPromptButton});
  SetLabelColors({kPromptTextControl}, {});
  OnClicked(kPromptButton, &CPromptDlg::OnButton);
}

CPromptDlg* CPromptDlg::Open(ui::Dialog* owner) {
  auto* prompt = new CPromptDlg(owner);
  if (!prompt->Create(owner)) {
    delete prompt;
    return nullptr;
  }
  prompt->ShowWindow(ui::ShowCommand::Show);
  return prompt;
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
      const ui::Size screen = backend().ScreenSize();
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
    if (const ui::DialogTemplate* t = ui::FindTemplate(kPromptTemplate)) {
      if (const ui::ControlTemplate* text = t->FindControl(kPromptTextControl)) {
        InvalidateRect(ui::Rect::FromSize(
            text->rect.x * ui::kPixelsPerDluX, text->rect.y * ui::kPixelsPerDluY,
            text->rect.w * ui::kPixelsPerDluX, text->rect.h * ui::kPixelsPerDluY));
      }
    }
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

// A closed prompt is gone, not hidden: every warning opens a new window.
void CPromptDlg::OnCancel() {
  DestroyWindow();
}

void CPromptDlg::PostNcDestroy() {
  delete this;
}

}  // namespace tasks
