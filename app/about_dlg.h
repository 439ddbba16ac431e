#pragma once
#include "ui/dialog.h"

namespace app {

// The about box of the main window's system menu: name, version, OK.
class CAboutDlg : public ui::Dialog {
 public:
  explicit CAboutDlg(ui::Dialog* parent);
};

}  // namespace app
