#pragma once
#include "app/page_base.h"
#include "resources/templates/tasks_ids.h"
#include "ui/controls.h"

namespace tasks {

constexpr int kPromptCountdownTimer = 1;

// The warning before a shutdown, restart or log-off (a shared countdown), the
// reminder of a fired reminder task, and the ringing alarm. It reads the slot
// named by promptSlot while it initialises; closing it never stops the task.
class CPromptDlg : public app::PageBase {
 public:
  explicit CPromptDlg(ui::Dialog* owner);

  // Makes a window for promptSlot, modeless and shown. It deletes itself
  // when it closes. Null when it could not be made.
  static CPromptDlg* Open(ui::Dialog* owner);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnCancel() override;
  void OnClose() override;

 private:
  void OnButton();

  ui::Button button_;
};

}  // namespace tasks
