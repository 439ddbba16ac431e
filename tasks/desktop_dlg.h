#pragma once
#include <array>

#include "app/page_base.h"
#include "resources/templates/tasks_ids.h"
#include "tasks/task_table.h"
#include "ui/controls.h"

namespace tasks {

constexpr int kArmTimer = 10;
constexpr int kCloseProgramTimer = 12;

// The desktop banner: a small window that hides itself at its first paints and
// owns every scheduling timer. Timer 10 arms the slot timers, timer k
// evaluates slot k once a second, timer 12 closes a program.
class CDesktopDlg : public app::PageBase {
 public:
  // `owner` is the main window: a double click on the banner shows it, and
  // warning windows belong to it too.
  explicit CDesktopDlg(ui::Dialog* owner);

  // Makes the banner modeless and shows it, and sets bannerCreated. The
  // object deletes itself when its window goes. Null when it could not be made.
  static CDesktopDlg* CreateBanner(ui::Dialog* owner);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnPaint(ui::PaintContext& paint) override;
  void OnTimer(int timerId) override;
  void OnLButtonDblClk(ui::Point point) override;

 private:
  void ArmSlotTimers();
  void EvaluateSlotTick(int slot);
  void RaiseSlotWarning(int slot);
  void FireSlotAction(int slot);
  void OpenPrompt(int slot);
  void CloseTargetProgram();

  ui::Control bannerText_;
  // Which slot timers run. Setting a running timer again would start its
  // period over, so a slot timer is set once and then left to tick: the
  // arming tick can never postpone a slot's evaluation.
  std::array<bool, kSlotCount> armed_{};
};

}  // namespace tasks
