#include "program/dravoup/updater_dlg.h"

#include <utility>

#include "program/dravoup/updater_ids.h"

namespace dravoup {

void RegisterUpdaterTemplate() {
  using namespace ui;
  DialogTemplate t;
  t.id = kUpdaterTemplate;
  t.width = 200;
  t.height = 62;
  t.style = ds::kPopup | ds::kCaption | ds::kSysMenu | ds::kVisible | ds::kCenter | ds::kAppWindow;
  t.caption = "Orvane 升级";
  t.fontFace = "微软雅黑";
  t.fontPoints = 9;
  // clang-format off
  t.controls = {
      {kStatus, ControlKind::Static, "", {8, 8, 184, 28}, 0},
      {kClose,  ControlKind::Button, "取消", {142, 42, 50, 14}, cs::kTabStop},
  };
  // clang-format on
  RegisterTemplate(std::move(t));
}

CUpdaterDlg::CUpdaterDlg(UpdaterServices services, std::optional<UpdateParameters> parameters,
                         std::string programPath)
    : ui::Dialog(kUpdaterTemplate) {
  if (parameters) updater_.emplace(services, std::move(*parameters), std::move(programPath));
  OnClicked(kClose, &CUpdaterDlg::CloseClicked);
}

bool CUpdaterDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  if (!updater_) {
    Stop(UpdateFailure::BadParameters);
  } else {
    SetDlgItemText(kStatus, "正在等待 Orvane 退出……");
    SetTimer(kStepTimer, kPaintPauseMs);
  }
  return true;
}

void CUpdaterDlg::Continue(Phase next, const char* status) {
  phase_ = next;
  SetDlgItemText(kStatus, status);
  SetTimer(kStepTimer, kPaintPauseMs);
}

void CUpdaterDlg::Stop(UpdateFailure failure) {
  KillTimer(kStepTimer);
  phase_ = Phase::Stopped;
  failure_ = failure;
  SetDlgItemText(kStatus, FailureText(failure));
  SetDlgItemText(kClose, "关闭");
  SetTimer(kCloseTimer, kFailureShownMs);
}

void CUpdaterDlg::OnTimer(int timerId) {
  if (timerId == kCloseTimer) {
    KillTimer(kCloseTimer);
    EndDialog(kNotUpdated);
    return;
  }
  if (timerId != kStepTimer) return;
  switch (phase_) {
    case Phase::Waiting:
      if (updater_->ProgramRunning()) {
        if (waitedMs_ >= kWaitForProgramMs) {
          Stop(UpdateFailure::StillRunning);
          return;
        }
        waitedMs_ += kPollMs;
        SetTimer(kStepTimer, kPollMs);
        return;
      }
      Continue(Phase::Fetching, "正在下载新版本……");
      return;
    case Phase::Fetching:
      KillTimer(kStepTimer);
      if (UpdateFailure failure = updater_->Fetch(); failure != UpdateFailure::None) {
        Stop(failure);
        return;
      }
      Continue(Phase::Installing, "正在安装新版本……");
      return;
    case Phase::Installing: {
      KillTimer(kStepTimer);
      UpdateFailure failure = updater_->Install();
      if (failure == UpdateFailure::NotReplaced && ++installAttempts_ < kInstallAttempts) {
        SetTimer(kStepTimer, kInstallRetryMs);
        return;
      }
      if (failure == UpdateFailure::NotReplaced) updater_->Abandon();
      if (failure == UpdateFailure::None) failure = updater_->Start();
      if (failure != UpdateFailure::None) {
        Stop(failure);
        return;
      }
      EndDialog(kUpdated);
      return;
    }
    case Phase::Stopped:
      KillTimer(kStepTimer);
      return;
  }
}

void CUpdaterDlg::CloseClicked() {
  OnCancel();
}

void CUpdaterDlg::OnCancel() {
  // Every step runs whole inside one timer message, so a close comes between
  // steps, when the old program is still in place.
  KillTimer(kStepTimer);
  if (updater_ && phase_ == Phase::Installing) updater_->Abandon();
  KillTimer(kCloseTimer);
  EndDialog(kNotUpdated);
}

int RunUpdater(UpdaterServices services, const std::string& parameterText,
               const std::string& programPath) {
  ui::SetAppName("DravoUP");
  if (!services.lock.Acquire(kUpdaterLockName)) {
    ui::Dialog::UnownedMessageBox("升级程序已经在运行了!");
    return kAlreadyRunning;
  }
  CUpdaterDlg dlg(services, ParseUpdateParameters(parameterText), programPath);
  const int result = dlg.DoModal();
  return result == kUpdated ? kUpdated : kNotUpdated;
}

}  // namespace dravoup
