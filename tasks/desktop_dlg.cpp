#include "tasks/desktop_dlg.h"

#include "app/services.h"
#include "app/shared_state.h"
#include "tasks/prompt_dlg.h"
#include "tasks/slot_evaluation.h"
#include "tasks/task_actions.h"

namespace tasks {

namespace {

constexpr unsigned kSecond = 1000;
constexpr int kPixelsAboveBottom = 80;
constexpr ui::Color kWhite = ui::Rgb(255, 255, 255);

}  // namespace

CDesktopDlg::CDesktopDlg(ui::Dialog* owner) : app::PageBase(kDesktopTemplate, owner) {}

CDesktopDlg* CDesktopDlg::CreateBanner(ui::Dialog* owner) {
  auto* banner = ui::Dialog::OpenModeless<CDesktopDlg>(owner);
  if (banner) app::Shared().taskValues.bannerCreated = 1;
  return banner;
}

void CDesktopDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kBannerTextControl, bannerText_);
}

bool CDesktopDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  // The right edge of the screen, 80 pixels above the bottom.
  const ui::Rect client = GetClientRect();
  const ui::Size screen = ScreenSize();
  SetWindowPos(screen.cx - client.Width(), screen.cy - client.Height() - kPixelsAboveBottom);
  SetTimer(kArmTimer, kSecond);
  app::Services().power.EnableShutdownPrivilege();
  return true;
}

void CDesktopDlg::OnPaint(ui::PaintContext& paint) {
  int& hideCount = app::Shared().taskValues.bannerHideCount;
  if (hideCount > 0) {
    --hideCount;
    ShowWindow(ui::ShowCommand::Hide);
  }
  paint.FillRect(paint.ClientRect(), kWhite);
}

void CDesktopDlg::OnLButtonDblClk(ui::Point point) {
  if (ui::Dialog* owner = GetParent(); owner && owner->IsWindow()) {
    owner->ShowWindow(ui::ShowCommand::Show);
  }
  app::PageBase::OnLButtonDblClk(point);
}

void CDesktopDlg::OnTimer(int timerId) {
  if (timerId == kArmTimer) {
    ArmSlotTimers();
  } else if (timerId >= kFirstTaskSlot && timerId <= kLastTaskSlot) {
    EvaluateSlotTick(timerId);
  } else if (timerId == kCloseProgramTimer) {
    CloseTargetProgram();
  }
  app::PageBase::OnTimer(timerId);
}

void CDesktopDlg::ArmSlotTimers() {
  TaskTable& table = app::Shared().taskTable;
  for (int k = kFirstTaskSlot; k <= kLastTaskSlot; ++k) {
    if (!table[k].Scheduled() || armed_[k]) continue;
    SetTimer(k, kSecond);
    armed_[k] = true;
  }
}

void CDesktopDlg::EvaluateSlotTick(int slot) {
  TaskSlot& task = app::Shared().taskTable[slot];
  if (!task.Scheduled()) return;  // freed: the timer idles until the slot is filled again

  platform::Platform& services = app::Services();
  TickContext now;
  if (task.mode == "0") {
    const platform::LocalTime local = services.clock.Now();
    now.hour = local.hour;
    now.minute = local.minute;
  } else if (task.mode == "2") {
    // The last input first: input that comes between the two readings must
    // not make the difference wrap.
    const std::uint32_t lastInput = services.idle.LastInputTick();
    now.idleMs = IdleMilliseconds(services.clock.TickCount(), lastInput);
  }
  // Text first, then the warning, then the firing: a task due at once warns
  // and fires in the same tick.
  const SlotVerdict verdict = EvaluateSlot(task, now);
  if (verdict.warn) RaiseSlotWarning(slot);
  if (verdict.fire) FireSlotAction(slot);
}

void CDesktopDlg::RaiseSlotWarning(int slot) {
  if (RaiseWarning(app::Shared().taskTable[slot])) OpenPrompt(slot);
}

void CDesktopDlg::FireSlotAction(int slot) {
  TaskSlot& task = app::Shared().taskTable[slot];
  // The slot is free before the action runs, so a refused action is never repeated.
  const FireAction action = FireSlot(task);
  KillTimer(slot);
  armed_[slot] = false;

  platform::Platform& services = app::Services();
  switch (action) {
    case FireAction::Shutdown:
      RequestPower(services.power, platform::PowerAction::Shutdown);
      break;
    case FireAction::Restart:
      RequestPower(services.power, platform::PowerAction::Restart);
      break;
    case FireAction::LogOff:
      RequestPower(services.power, platform::PowerAction::LogOff);
      break;
    case FireAction::OpenFile:
      OpenTaskFile(services.shell, task.parameter);
      break;
    case FireAction::CloseProgram:
      app::Shared().taskValues.closeTarget = task.parameter;
      SetTimer(kCloseProgramTimer, kSecond);
      break;
    case FireAction::Prompt:
      OpenPrompt(slot);
      break;
    case FireAction::None:
      break;
  }
}

void CDesktopDlg::OpenPrompt(int slot) {
  // The window reads the slot while it initialises, inside this call, so each
  // window belongs to the slot that opened it.
  app::Shared().taskValues.promptSlot = slot;
  CPromptDlg::Open(GetParent());
}

void CDesktopDlg::CloseTargetProgram() {
  CloseProgram(app::Services().processes, app::Shared().taskValues.closeTarget);
  KillTimer(kCloseProgramTimer);
}

}  // namespace tasks
