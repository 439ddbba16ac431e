#pragma once
#include "app/page_base.h"
#include "resources/templates/tasks_ids.h"
#include "ui/controls.h"

namespace tasks {

constexpr int kListTickTimer = 1;

// The task list: nine rows for slots 1 to 9, rebuilt when listDirty asks.
// A click on a task's "删除" deletes it (on the server too when the box says
// so); a click elsewhere on a task opens the editor on its slot.
class CTaskDlg : public app::PageBase {
 public:
  explicit CTaskDlg(ui::Dialog* parent);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnClose() override;

 private:
  void OnListClick(const ui::Notification& n);
  void OnBackClicked();
  void Rebuild();
  void DeleteTask(int slot);

  ui::ListView list_;
};

}  // namespace tasks
