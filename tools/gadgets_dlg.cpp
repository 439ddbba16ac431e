#include "tools/gadgets_dlg.h"

#include "app/services.h"
#include "resources/templates/page_template.h"
#include "resources/templates/tools_ids.h"
#include "tools/download_dlg.h"
#include "tools/extract_dlg.h"
#include "tools/replace_dlg.h"
#include "tools/site_ip_tool.h"

namespace tools {

namespace {

using namespace tools::gadgets;

constexpr ui::Color kListColor = ui::Rgb(0xF0, 0xF0, 0xF0);

constexpr const char* kNotepad = "计事本";
constexpr const char* kCalculator = "计算器";
constexpr const char* kCommandPrompt = "cmd程序";
constexpr const char* kReplaceEntry = "批量替换";
constexpr const char* kDownloadEntry = "批量下载";
constexpr const char* kExtractEntry = "批量截取";

}  // namespace

CGadgetsDlg::CGadgetsDlg(ui::Dialog* parent) : app::PageBase(kGadgetsTemplate, parent) {
  OnClicked(kBackButton, &CGadgetsDlg::OnBack);
  OnClicked(resources::kLogoAlt, &CGadgetsDlg::OnNothing);
  OnNotify(ui::notify::kClick, kToolList, &CGadgetsDlg::OnLaunch);
  OnNotify(ui::notify::kItemChanged, kToolList, &CGadgetsDlg::OnItemChanged);
  SetFallbackFontControls({kToolList, kBackButton});
}

void CGadgetsDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kToolList, list_);
}

bool CGadgetsDlg::OnInitDialog() {
  app::PageBase::OnInitDialog();
  list_.SetColors(kListColor, kListColor);
  list_.DeleteAllItems();
  const char* entries[] = {kNotepad,      kCalculator,    kCommandPrompt, kSiteIpToolLabel,
                           kReplaceEntry, kDownloadEntry, kExtractEntry};
  list_.SetImageList(ui::ImageList{32, 32, std::vector<int>(std::size(entries), kToolIcon)});
  int index = 0;
  for (const char* entry : entries) {
    list_.InsertItem(index, entry, index);
    ++index;
  }
  return true;
}

void CGadgetsDlg::OnLaunch(const ui::Notification& n) {
  if (n.item == -1) return;
  const std::string entry = list_.GetItemText(n.item, 0);
  platform::Shell& shell = app::Services().shell;
  // Results are not looked at: a program the system lacks fails silently.
  if (entry == kCalculator) {
    shell.Exec("calc");
  } else if (entry == kNotepad) {
    shell.Exec("notepad");
  } else if (entry == kCommandPrompt) {
    shell.Open("cmd.exe");
  } else if (entry == kSiteIpToolLabel) {
    LaunchSiteIpTool();
  } else if (entry == kReplaceEntry) {
    OpenBatchPage<CPiTiHuanDlg>();
  } else if (entry == kDownloadEntry) {
    OpenBatchPage<CPiXiaZaiDlg>();
  } else if (entry == kExtractEntry) {
    OpenBatchPage<CPiHuoQuDlg>();
  }
}

void CGadgetsDlg::LaunchSiteIpTool() {
  platform::Platform& services = app::Services();
  switch (tools::LaunchSiteIpTool(services.files, services.http, services.shell)) {
    case SiteIpToolOutcome::RequestThrew:
      MessageBox("网络连接异常！");
      MessageBox("网络连接失败！");
      break;
    case SiteIpToolOutcome::NoReply:
      MessageBox("网络连接失败！");
      break;
    default:
      break;
  }
}

template <class Page>
void CGadgetsDlg::OpenBatchPage() {
  // The page lives on by itself, owned by nobody, and frees itself.
  ui::Dialog::OpenModeless<Page>();
  OnCancel();
}

}  // namespace tools
