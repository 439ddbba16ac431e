#pragma once
#include "tools/batch_extract.h"
#include "tools/batch_page.h"

namespace tools {

// The batch extract page: cuts pieces between up to four marker pairs out of
// every matching file and appends the combined lines to result files. Each
// start takes the fields as they are then and starts a worker of its own,
// also while an earlier run goes on.
class CPiHuoQuDlg : public BatchPage {
 public:
  CPiHuoQuDlg();

 protected:
  bool OnInitDialog() override;

 private:
  void OnStart();
  ExtractFields ReadFields();
  void ShowFields(const ExtractFields& fields);
};

}  // namespace tools
