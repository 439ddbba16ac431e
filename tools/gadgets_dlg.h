#pragma once
#include "app/page_base.h"
#include "ui/controls.h"

namespace tools {

// The tools page: seven icons that start the system's editor, calculator and
// terminal, fetch and start the site IP tool, or open one of the three batch
// tool pages (modeless, with no owner) and close this page.
class CGadgetsDlg : public app::PageBase {
 public:
  explicit CGadgetsDlg(ui::Dialog* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;

 private:
  void OnLaunch(const ui::Notification& n);
  void OnItemChanged(const ui::Notification&) {}
  void LaunchSiteIpTool();
  template <class Page>
  void OpenBatchPage();

  ui::ListView list_;
};

}  // namespace tools
