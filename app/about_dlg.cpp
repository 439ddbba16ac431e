#include "app/about_dlg.h"

#include "resources/templates/app_ids.h"

namespace app {

CAboutDlg::CAboutDlg(ui::Dialog* parent) : ui::Dialog(kAboutTemplate, parent) {}

}  // namespace app
