#pragma once
#include <string>

#include "app/page_base.h"
#include "resources/templates/tasks_ids.h"
#include "tasks/edit_rules.h"
#include "ui/controls.h"

namespace tasks {

constexpr int kEditTickTimer = 1;

// The task editor: adds a task into the first free slot, or changes the slot
// named by editSlot. What it may fill depends on the sign-in state; for a
// synchronising account it sends what it saved to the server.
class CEditDlg : public app::PageBase {
 public:
  explicit CEditDlg(ui::Dialog* parent);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnClose() override;

 private:
  void OnModeChanged();
  void OnActionChanged();
  void OnOperationChanged();
  void OnHoursTyped();
  void OnMinutesTyped();
  void OnStopClicked();
  void OnBackClicked();
  void OnSave();

  void FillBoxes();
  void ShowSlot(int slot);
  // Corrects the hours (or minutes) box in place; `typed` reads the box again
  // for the set-time limits, a switch of mode judges the text it started with.
  void CheckTimeBox(bool hours, bool typed);
  void ShowParameterFor(int operation);
  void ShowOperationControls(bool shown);
  void ChooseFile(int operation);
  void FillSlot(int slot);
  void ShowDateLine();
  void ShowTimeLeft();
  void SetLabel(int id, const std::string& text);
  // Ends a modification or a deletion: the list rebuilds, the editor adds next time.
  void CloseAfterChange();

  ui::ComboBox signIn_;
  ui::ComboBox mode_;
  ui::ComboBox action_;
  ui::ComboBox operation_;
  ui::ComboBox hours_;
  ui::ComboBox minutes_;
  ui::ComboBox ring_;
  ui::Edit parameter_;
  ui::Button save_;
  ui::Button stop_;
  ui::Control hoursUnit_;
  ui::Control minutesUnit_;
  ui::Control parameterLabel_;
};

}  // namespace tasks
