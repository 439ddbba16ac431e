#include "app/orvane_app.h"

#include "app/main_dlg.h"

namespace app {

bool COrvaneApp::InitInstance() {
  COrvaneDlg main;
  main.DoModal();
  // Nothing is left to do after the main window: the embedded browsers of
  // our ports need no process-wide set-up once the window is gone.
  return false;
}

}  // namespace app
