#pragma once
#include "tools/batch_download.h"
#include "tools/batch_page.h"
#include "ui/controls.h"

namespace tools {

// The batch download page: downloads the URLs found between two markers in
// every matching file below a folder. The job is fixed at the start; the
// worker reports each step and its end, which re-enables the start button.
class CPiXiaZaiDlg : public BatchPage {
 public:
  CPiXiaZaiDlg();

  int DownloadRunning() const { return downloadRunning_; }

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnWorkerEnded() override;

 private:
  void OnStart();
  void OnFinished(std::uintptr_t, std::unique_ptr<ui::Payload>);
  void OnReset(std::uintptr_t, std::unique_ptr<ui::Payload>);
  DownloadFields ReadFields();
  void RestoreStart();
  // The answer to the existing-file questions: a conflict policy, or none
  // when the user declined.
  std::optional<int> AskConflictPolicy();

  ui::ComboBox mode_;
  ui::Button start_;
  ui::Edit interval_;
  int downloadRunning_ = 0;
};

}  // namespace tools
