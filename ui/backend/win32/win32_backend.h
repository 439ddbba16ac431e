#pragma once
#include <memory>

#include "ui/backend.h"
#include "ui/user_actions.h"

// The raw Win32 port of the dialog framework. This header is free of
// <windows.h> so the program's entry can include it.
namespace ui::win32 {

// The window system of Orvane.exe, and the user side of a scenario: the same
// commands the headless backend takes act here on real windows and controls.
class Win32Backend : public Backend, public UserActions {};

// Registers the common controls and the window that carries posted messages.
std::unique_ptr<Win32Backend> CreateWin32Backend();

}  // namespace ui::win32
