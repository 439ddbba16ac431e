#pragma once
#include "app/page_base.h"
#include "app/shared_state.h"
#include "resources/templates/account_ids.h"
#include "ui/controls.h"

namespace app {

// What one check box of the settings page looks like when the page opens.
struct BoxState {
  bool enabled = true;
  bool checked = false;
  bool operator==(const BoxState&) const = default;
};

struct ConfigBoxes {
  BoxState startAtLogOn;
  BoxState syncTasks;
  BoxState autoSignIn;
  BoxState autoUpdate;
  bool operator==(const ConfigBoxes&) const = default;
};

// The boxes for a session: without an account only start-at-log-on and (with
// the server reached) automatic update can change; an account adds automatic
// sign-in when its password is remembered, and synchronisation at level 1.
ConfigBoxes ConfigBoxesFor(const SessionState& session, const AppSettings& settings);

// The settings page: four of the five flags and the running version. Saving
// writes them to the settings file, sets them in memory and makes or removes
// the start-at-log-on entry; the page stays open until its back button.
class CConfigDlg : public PageBase {
 public:
  explicit CConfigDlg(ui::Dialog* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;

 private:
  void OnSave();

  ui::Control versionLine_;
};

}  // namespace app
