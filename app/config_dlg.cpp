#include "app/config_dlg.h"

#include "app/services.h"
#include "app/settings_file.h"
#include "app/start_at_log_on.h"

namespace app {

using namespace account;

ConfigBoxes ConfigBoxesFor(const SessionState& session, const AppSettings& settings) {
  ConfigBoxes boxes;
  boxes.startAtLogOn = {true, settings.startWithWindows == 1};
  const BoxState updateBox{true, settings.autoUpdate == 1};
  const BoxState off{false, false};
  const BoxState signInBox =
      settings.rememberPassword == 1 ? BoxState{true, settings.autoSignIn == 1} : off;
  if (session.signedIn == 0) {
    boxes.syncTasks = off;
    boxes.autoSignIn = off;
    boxes.autoUpdate = session.serverReachable != 0 ? updateBox : off;
  } else if (session.signedIn == 1 && session.accountLevel == 0) {
    boxes.syncTasks = off;
    boxes.autoSignIn = signInBox;
    boxes.autoUpdate = updateBox;
  } else if (session.signedIn == 1 && session.accountLevel == 1) {
    boxes.syncTasks = {true, settings.syncTasks != 0};
    boxes.autoSignIn = signInBox;
    boxes.autoUpdate = updateBox;
  } else {
    // Other levels keep the boxes as the template has them, bar the update box.
    boxes.syncTasks = {true, false};
    boxes.autoSignIn = {true, false};
    boxes.autoUpdate = updateBox;
  }
  return boxes;
}

CConfigDlg::CConfigDlg(ui::Dialog* parent) : PageBase(kConfigTemplate, parent) {
  SetFallbackFontControls(
      {kConfigStartAtLogOn, kConfigSyncTasks, kConfigAutoSignIn, kConfigSave, kConfigBack});
  SetLabelColors({kConfigStartAtLogOn}, {kConfigSyncTasks, kConfigAutoSignIn});
  OnClicked(kConfigSave, &CConfigDlg::OnSave);
  OnClicked(kConfigBack, &CConfigDlg::OnBack);
}

void CConfigDlg::DoDataExchange(ui::DataExchange& dx) {
  dx.Bind(kConfigVersionLine, versionLine_);
}

bool CConfigDlg::OnInitDialog() {
  PageBase::OnInitDialog();
  SharedState& shared = Shared();
  versionLine_.SetWindowText("当前版本：" + shared.urls.productVersion);

  const ConfigBoxes boxes = ConfigBoxesFor(shared.session, shared.settings);
  const std::pair<int, BoxState> states[] = {
      {kConfigStartAtLogOn, boxes.startAtLogOn},
      {kConfigSyncTasks, boxes.syncTasks},
      {kConfigAutoSignIn, boxes.autoSignIn},
      {kConfigAutoUpdate, boxes.autoUpdate},
  };
  for (const auto& [id, state] : states) {
    CheckDlgButton(id, state.checked ? 1 : 0);
    GetDlgItem(id).EnableWindow(state.enabled);
  }
  return true;
}

void CConfigDlg::OnSave() {
  SharedState& shared = Shared();
  platform::Platform& services = Services();
  const AppPaths& paths = shared.paths;
  CreateFolderOf(services.files, paths.settingsPath);

  // The log-on entry follows the box; when the system refuses it the flag is
  // still saved as ticked, as the user asked.
  const int startAtLogOn = IsDlgButtonChecked(kConfigStartAtLogOn) ? 1 : 0;
  WriteSettingsFlag(services.profiles, paths, kKeyStartWithWindows, startAtLogOn);
  if (startAtLogOn) {
    services.autostart.Set(kStartAtLogOnName, StartAtLogOnCommand(services.files.CurrentDirectory(),
                                                                  services.files.Separator()));
  } else {
    services.autostart.Remove(kStartAtLogOnName);
  }
  shared.settings.startWithWindows = startAtLogOn;

  // Disabled boxes are saved like the others: cleared when opening cleared them.
  struct Flag {
    int box;
    const char* key;
    int& value;
  };
  const Flag flags[] = {
      {kConfigSyncTasks, kKeySyncTasks, shared.settings.syncTasks},
      {kConfigAutoSignIn, kKeyAutoSignIn, shared.settings.autoSignIn},
      {kConfigAutoUpdate, kKeyAutoUpdate, shared.settings.autoUpdate},
  };
  for (const Flag& flag : flags) {
    flag.value = IsDlgButtonChecked(flag.box) ? 1 : 0;
    WriteSettingsFlag(services.profiles, paths, flag.key, flag.value);
  }
  MessageBox("保存成功");
}

}  // namespace app
