#pragma once

namespace app {

// Makes the advertisement window, modeless and shown, as the main window's
// start does. Does nothing until the advertisement window is built.
void OpenAdvertisementWindow();

}  // namespace app
