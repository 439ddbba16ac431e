#include "program/entry.h"

#include "app/orvane_app.h"
#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "program/gallery_dlg.h"
#include "tools/gadgets_dlg.h"
#include "ui/backend.h"
#include "ui/dialog.h"

int RunEntry(const std::string& entry) {
  ui::Backend& backend = ui::Backend::Current();
  if (entry == "main") {
    app::COrvaneApp application;
    application.InitInstance();
  } else if (entry == "gallery") {
    // The gallery takes no lock and reads no settings; its pages still choose
    // their font by the system's version.
    app::Shared().paths = app::DeriveAppPaths(app::Services());
    CGalleryDlg gallery;
    gallery.DoModal();
  } else if (entry == "gadgets") {
    // The tools page alone, as a signed-in user opens it; the batch pages it
    // opens live on until a quit.
    app::Shared().paths = app::DeriveAppPaths(app::Services());
    tools::CGadgetsDlg gadgets;
    gadgets.DoModal();
    if (!backend.QuitPosted()) backend.RunMessageLoop();
  } else {
    return -1;
  }
  return backend.QuitPosted() ? backend.ExitCode() : 0;
}
