#include "tools/extract_dlg.h"

#include "app/services.h"
#include "resources/templates/tools_ids.h"

namespace tools {

namespace {

using namespace tools::extract;

int StartMarkerId(int pair) {
  return kFirstMarker + 2 * pair;
}
int EndMarkerId(int pair) {
  return kFirstMarker + 2 * pair + 1;
}

struct Box {
  int id;
  bool ExtractFields::*field;
};
constexpr Box kBoxes[] = {
    {kContain, &ExtractFields::contain},   {kCheckDuplicate, &ExtractFields::checkDuplicate},
    {kAutoLine, &ExtractFields::autoLine}, {kEachIdentifier, &ExtractFields::eachIdentifier},
    {kEachFile, &ExtractFields::eachFile},
};

}  // namespace

CPiHuoQuDlg::CPiHuoQuDlg()
    : BatchPage(kExtractTemplate, ToolKind::Extract, WM_TOOL_STATUS, kSaveFolderButton) {
  OnClicked(kStartButton, &CPiHuoQuDlg::OnStart);
  std::vector<int> selectAll;
  for (int pair = 0; pair < 4; ++pair) {
    selectAll.push_back(StartMarkerId(pair));
    selectAll.push_back(EndMarkerId(pair));
  }
  selectAll.push_back(kTemplateEdit);
  selectAll.push_back(kSaveFileEdit);
  SetSelectAllFields(std::move(selectAll), false);
}

bool CPiHuoQuDlg::OnInitDialog() {
  BatchPage::OnInitDialog();
  // Without a settings file every field is empty but the save file's name.
  ShowFields(ExtractFieldsFromSettings(SettingsFile().Load()));
  return true;
}

void CPiHuoQuDlg::ShowFields(const ExtractFields& fields) {
  SetDlgItemText(kFolderEdit, fields.folder);
  SetDlgItemText(kFormatEdit, fields.format);
  for (int pair = 0; pair < 4; ++pair) {
    SetDlgItemText(StartMarkerId(pair), fields.startMarkers[pair]);
    SetDlgItemText(EndMarkerId(pair), fields.endMarkers[pair]);
  }
  SetDlgItemText(kTemplateEdit, fields.lineTemplate);
  SetDlgItemText(kSaveFolderEdit, fields.saveFolder);
  SetDlgItemText(kSaveFileEdit, fields.saveFile);
  for (const Box& box : kBoxes) CheckDlgButton(box.id, fields.*box.field ? 1 : 0);
}

ExtractFields CPiHuoQuDlg::ReadFields() {
  ExtractFields fields;
  fields.folder = GetDlgItemText(kFolderEdit);
  fields.format = GetDlgItemText(kFormatEdit);
  for (int pair = 0; pair < 4; ++pair) {
    fields.startMarkers[pair] = GetDlgItemText(StartMarkerId(pair));
    fields.endMarkers[pair] = GetDlgItemText(EndMarkerId(pair));
  }
  fields.lineTemplate = GetDlgItemText(kTemplateEdit);
  fields.saveFolder = GetDlgItemText(kSaveFolderEdit);
  fields.saveFile = GetDlgItemText(kSaveFileEdit);
  for (const Box& box : kBoxes) fields.*box.field = IsDlgButtonChecked(box.id) != 0;
  return fields;
}

void CPiHuoQuDlg::OnStart() {
  // Read once, on this thread: the run goes on with what the page held now.
  const ExtractFields fields = ReadFields();
  SettingsFile().Save(ExtractFieldsToSettings(fields));
  platform::FileSystem& files = app::Services().files;
  const bool started = StartWorker([&files, fields](ui::WorkerLink& link) {
    PageStatusSink sink(link, WM_TOOL_STATUS);
    RunExtract(files, fields, sink);
  });
  if (!started) SetDlgItemText(kStatusLabel, "内存不足！");
}

}  // namespace tools
