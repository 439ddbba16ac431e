#pragma once
#include "tools/batch_page.h"
#include "tools/batch_replace.h"
#include "ui/controls.h"

namespace tools {

// The batch replace page: rewrites every file of the listed extensions below
// a folder. Its worker reads the keyword, end marker, replacement and mode
// again for every file, and the extension list for every file it tests, so
// a change made during a run applies from the next file on.
class CPiTiHuanDlg : public BatchPage {
 public:
  CPiTiHuanDlg();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnWorkerEnded() override;

 private:
  void OnModeLayout();
  void OnStart();
  ReplaceFields ReadFields();

  ui::ComboBox mode_;
  ui::Edit keyword_;
  ui::Button start_;
};

}  // namespace tools
