#include "program/entry.h"

#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "program/gallery_dlg.h"
#include "ui/backend.h"
#include "ui/dialog.h"

namespace {

// The named lock the first instance holds for its whole life.
constexpr char kInstanceLockName[] = "DravoOV";

// A second instance says so and ends at once with exit code 0, before any
// window of its own is shown. (This step belongs to the main window's start;
// it lives here until the main window exists.)
bool IsSecondInstance() {
  if (app::Services().instanceLock.Acquire(kInstanceLockName)) return false;
  ui::Dialog::UnownedMessageBox("已经打开了!");
  return true;
}

}  // namespace

int RunEntry(const std::string& entry) {
  ui::Backend& backend = ui::Backend::Current();
  if (entry != "main" && entry != "gallery") return -1;
  if (entry == "main" && IsSecondInstance()) return 0;

  // The system's version and the settings paths, as the main window's start
  // derives them: pages choose their font by the version.
  app::SharedState& shared = app::Shared();
  shared.paths = app::DeriveAppPaths(app::Services());
  if (entry == "main") shared.settings = app::ReadSettingsAtStart(app::Services(), shared.paths);

  // Until the main window exists, the program starts with the gallery.
  CGalleryDlg gallery;
  gallery.DoModal();
  return backend.QuitPosted() ? backend.ExitCode() : 0;
}
