#include "tools/download_dlg.h"

#include "app/services.h"
#include "resources/templates/tools_ids.h"

namespace tools {

namespace {

using namespace tools::download;

constexpr const char* kStartText = "开始下载";

// The run's end as the page's finishing message.
class DownloadSink : public PageStatusSink {
 public:
  explicit DownloadSink(ui::WorkerLink& link) : PageStatusSink(link, WM_DOWNLOAD_STATUS, true) {}
  void PostFinished() override { link_.Post(WM_DOWNLOAD_FINISHED); }
};

}  // namespace

CPiXiaZaiDlg::CPiXiaZaiDlg()
    : BatchPage(kDownloadTemplate, ToolKind::Download, WM_DOWNLOAD_STATUS, kSaveFolderButton) {
  OnClicked(kStartButton, &CPiXiaZaiDlg::OnStart);
  for (int id : {kStartMarkerEdit, kEndMarkerEdit, kUrlEdit}) {
    OnCommand(ui::notify::kEditChange, id, &CPiXiaZaiDlg::OnNothing);
  }
  OnPosted(WM_DOWNLOAD_FINISHED, &CPiXiaZaiDlg::OnFinished);
  OnPosted(WM_DOWNLOAD_RESET, &CPiXiaZaiDlg::OnReset);
  SetSelectAllFields({kStartMarkerEdit, kEndMarkerEdit, kUrlEdit}, true);
}

void CPiXiaZaiDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kModeList, mode_);
  dx.Bind(kStartButton, start_);
  dx.Bind(kIntervalEdit, interval_);
}

bool CPiXiaZaiDlg::OnInitDialog() {
  BatchPage::OnInitDialog();
  mode_.AddString(kFlatSaveText);
  mode_.AddString(kMirrorSaveText);
  if (std::optional<ToolSettings> settings = SettingsFile().Load()) {
    const DownloadFields fields = DownloadFieldsFromSettings(settings);
    SetDlgItemText(kFolderEdit, fields.folder);
    SetDlgItemText(kFormatEdit, fields.format);
    SetDlgItemText(kSaveFolderEdit, fields.saveFolder);
    mode_.SetCurSel(fields.modeText == kMirrorSaveText ? 1 : 0);
    SetDlgItemText(kStartMarkerEdit, fields.startMarker);
    SetDlgItemText(kEndMarkerEdit, fields.endMarker);
    SetDlgItemText(kUrlEdit, fields.urlText);
    SetDlgItemText(kIntervalEdit, fields.intervalText);
    CheckDlgButton(kCheckDuplicate, fields.checkDuplicate ? 1 : 0);
  }
  downloadRunning_ = 0;
  return true;
}

DownloadFields CPiXiaZaiDlg::ReadFields() {
  DownloadFields fields;
  fields.folder = GetDlgItemText(kFolderEdit);
  fields.format = GetDlgItemText(kFormatEdit);
  fields.saveFolder = GetDlgItemText(kSaveFolderEdit);
  fields.modeText = GetDlgItemText(kModeList);
  fields.startMarker = GetDlgItemText(kStartMarkerEdit);
  fields.endMarker = GetDlgItemText(kEndMarkerEdit);
  fields.urlText = GetDlgItemText(kUrlEdit);
  fields.intervalText = GetDlgItemText(kIntervalEdit);
  fields.checkDuplicate = IsDlgButtonChecked(kCheckDuplicate) != 0;
  return fields;
}

void CPiXiaZaiDlg::RestoreStart() {
  start_.EnableWindow(true);
  start_.SetWindowText(kStartText);
}

std::optional<int> CPiXiaZaiDlg::AskConflictPolicy() {
  if (Ask("确定不开启防重复功能？", "确认", ui::mb::kYesNo | ui::mb::kIconQuestion) != ui::IDYES) {
    return std::nullopt;
  }
  const char* question =
      "文件冲突处理：\n\n点击【确定】为覆盖现有文件\n点击【取消】为重命名现有文件\n\n"
      "要中止操作请关闭此窗口";
  switch (Ask(question, "选择冲突处理方式", ui::mb::kOkCancel | ui::mb::kIconQuestion)) {
    case ui::IDOK:
      return kOverwrite;
    case ui::IDCANCEL:
      return kRenameNew;
    default:  // closed without an answer
      return std::nullopt;
  }
}

void CPiXiaZaiDlg::OnStart() {
  SettingsFile().Save(DownloadFieldsToSettings(ReadFields()));
  start_.EnableWindow(false);
  start_.SetWindowText("处理中...");
  int policy = kSkipExisting;
  if (IsDlgButtonChecked(kCheckDuplicate) == 0) {
    std::optional<int> answer = AskConflictPolicy();
    if (!answer) {
      RestoreStart();
      return;
    }
    policy = *answer;
  }
  // Read after the questions: the URL field decides the job's address form.
  const DownloadJob job = MakeDownloadJob(ReadFields(), policy);
  interval_.EnableWindow(false);
  platform::Platform& services = app::Services();
  if (std::optional<std::string> refusal = CheckDownloadStart(services.files, job)) {
    Ask(*refusal, "错误", ui::mb::kOk | ui::mb::kIconError);
    RestoreStart();
    interval_.EnableWindow(true);
    return;
  }
  downloadRunning_ = 1;
  const bool started = StartWorker([&services, job](ui::WorkerLink& link) {
    DownloadSink sink(link);
    // The interval sleeps on the link, so a page that goes ends the wait.
    auto waitOneSecond = [&link] {
      if (!link.Sleep(1000)) throw PageGone{};
    };
    RunDownload({services.files, services.http, waitOneSecond}, job, sink);
  });
  if (!started) {
    downloadRunning_ = 0;
    RestoreStart();
    interval_.EnableWindow(true);
  }
}

void CPiXiaZaiDlg::OnFinished(std::uintptr_t, std::unique_ptr<ui::Payload>) {
  downloadRunning_ = 0;
  interval_.EnableWindow(true);
  PostMessage(WM_DOWNLOAD_RESET);
  Ask("所有文件处理完成！", "完成", ui::mb::kOk | ui::mb::kIconInformation);
}

void CPiXiaZaiDlg::OnWorkerEnded() {
  // A run that ended without its finishing message (a fault stopped it) still
  // gives the page back its start.
  if (!downloadRunning_) return;
  downloadRunning_ = 0;
  interval_.EnableWindow(true);
  RestoreStart();
}

void CPiXiaZaiDlg::OnReset(std::uintptr_t, std::unique_ptr<ui::Payload>) {
  RestoreStart();
}

}  // namespace tools
