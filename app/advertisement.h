#pragma once

namespace app {

class COrvaneDlg;

// Makes the advertisement window, modeless, shown and owned by no window, as
// the main window's start does; it stays until the main window goes.
void OpenAdvertisementWindow(COrvaneDlg& mainWindow);
// Takes it away with the main window (nothing when there is none).
void CloseAdvertisementWindow();

}  // namespace app
