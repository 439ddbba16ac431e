#include "app/advertisement.h"

#include "app/main_dlg.h"
#include "online/webad_dlg.h"

namespace app {

namespace {

// The one advertisement window of the run; it frees itself when its window goes.
online::CWebadDlg* g_advertisement = nullptr;

}  // namespace

void OpenAdvertisementWindow(COrvaneDlg& mainWindow) {
  g_advertisement = ui::Dialog::OpenModeless<online::CWebadDlg>(
      &mainWindow, [&mainWindow] { mainWindow.ConfirmClose(); });
}

void CloseAdvertisementWindow() {
  online::CWebadDlg* advertisement = g_advertisement;
  g_advertisement = nullptr;
  if (advertisement) advertisement->DestroyWindow();
}

}  // namespace app
