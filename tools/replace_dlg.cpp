#include "tools/replace_dlg.h"

#include "app/services.h"
#include "resources/templates/tools_ids.h"

namespace tools {

namespace {

using namespace tools::replace;

// The fields as the worker reads them, each time on the page's thread.
class PageReplaceSource : public ReplaceSource {
 public:
  PageReplaceSource(ui::WorkerLink& link, ui::Dialog* page) : link_(link), page_(page) {}
  std::string Folder() override { return Read(kFolderEdit); }
  std::string Format() override { return Read(kFormatEdit); }
  ReplaceFields Edit() override {
    ReplaceFields fields;
    ui::Dialog* page = page_;
    ReadOnPage(link_, [&fields, page] {
      fields.keyword = page->GetDlgItemText(kKeywordEdit);
      fields.endMarker = page->GetDlgItemText(kEndMarkerEdit);
      fields.replacement = page->GetDlgItemText(kReplacementEdit);
      fields.mode = ui::ComboBox(page, kModeList).GetCurSel();
    });
    return fields;
  }

 private:
  std::string Read(int id) {
    std::string text;
    ui::Dialog* page = page_;
    ReadOnPage(link_, [&text, page, id] { text = page->GetDlgItemText(id); });
    return text;
  }

  ui::WorkerLink& link_;
  ui::Dialog* page_;  // touched only inside calls its own thread serves
};

}  // namespace

CPiTiHuanDlg::CPiTiHuanDlg() : BatchPage(kReplaceTemplate, ToolKind::Replace, WM_TOOL_STATUS) {
  OnClicked(kStartButton, &CPiTiHuanDlg::OnStart);
  OnCommand(ui::notify::kComboCloseUp, kModeList, &CPiTiHuanDlg::OnModeLayout);
  OnCommand(ui::notify::kComboSelChange, kModeList, &CPiTiHuanDlg::OnNothing);
  OnCommand(ui::notify::kEditChange, kKeywordEdit, &CPiTiHuanDlg::OnNothing);
  SetSelectAllFields({kKeywordEdit, kEndMarkerEdit, kReplacementEdit}, false);
}

void CPiTiHuanDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kModeList, mode_);
  dx.Bind(kKeywordEdit, keyword_);
  dx.Bind(kStartButton, start_);
}

bool CPiTiHuanDlg::OnInitDialog() {
  BatchPage::OnInitDialog();
  for (int mode : {kDirectReplace, kRangeReplace, kMarkerReplace}) {
    mode_.AddString(ReplaceModeText(mode));
  }
  if (std::optional<ToolSettings> settings = SettingsFile().Load()) {
    const ReplaceFields fields = ReplaceFieldsFromSettings(settings);
    SetDlgItemText(kFolderEdit, fields.folder);
    SetDlgItemText(kFormatEdit, fields.format);
    mode_.SetCurSel(fields.mode);
    SetDlgItemText(kKeywordEdit, fields.keyword);
    SetDlgItemText(kEndMarkerEdit, fields.endMarker);
    SetDlgItemText(kReplacementEdit, fields.replacement);
  }
  GetDlgItem(kEndMarkerLabel).ShowWindow(false);
  GetDlgItem(kEndMarkerEdit).ShowWindow(false);
  OnModeLayout();
  return true;
}

void CPiTiHuanDlg::OnModeLayout() {
  const bool direct = mode_.GetCurSel() == kDirectReplace;
  ui::Rect r = keyword_.GetRect();
  r.bottom = r.top + (direct ? kKeywordTallHeight : kKeywordShortHeight);
  keyword_.MoveWindow(r);
  GetDlgItem(kEndMarkerLabel).ShowWindow(!direct);
  GetDlgItem(kEndMarkerEdit).ShowWindow(!direct);
  InvalidateControl(kKeywordEdit);
  Invalidate();
}

ReplaceFields CPiTiHuanDlg::ReadFields() {
  ReplaceFields fields;
  fields.folder = GetDlgItemText(kFolderEdit);
  fields.format = GetDlgItemText(kFormatEdit);
  fields.mode = mode_.GetCurSel();
  fields.keyword = GetDlgItemText(kKeywordEdit);
  fields.endMarker = GetDlgItemText(kEndMarkerEdit);
  fields.replacement = GetDlgItemText(kReplacementEdit);
  return fields;
}

void CPiTiHuanDlg::OnStart() {
  const ReplaceFields fields = ReadFields();
  SettingsFile().Save(ReplaceFieldsToSettings(fields));
  if (std::optional<std::string> refusal = CheckReplaceStart(fields)) {
    Ask(*refusal);
    return;
  }
  start_.EnableWindow(false);
  platform::FileSystem& files = app::Services().files;
  const bool started = StartWorker([&files, page = this](ui::WorkerLink& link) {
    PageReplaceSource source(link, page);
    PageStatusSink sink(link, WM_TOOL_STATUS);
    RunReplace(files, source, sink);
  });
  if (!started) {
    SetDlgItemText(kStatusLabel, "内存不足！");
    OnWorkerEnded();
  }
}

void CPiTiHuanDlg::OnWorkerEnded() {
  start_.EnableWindow(true);
  start_.SetWindowText("开始替换");
}

}  // namespace tools
