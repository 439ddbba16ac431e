#pragma once
#include <memory>

#include "ui/backend.h"
#include "ui/user_actions.h"

// The GTK 3 port of the dialog framework. This header is free of GTK so the
// program's entry can include it; everything else lives in the .cpp files.
namespace ui::gtk {

// The window system of the Linux desktop program. It is also the user side
// of a scenario: the same commands the headless backend takes act here on
// the real widgets, on the GTK main loop.
class GtkBackend : public Backend, public UserActions {};

// Opens the display (X11, also through XWayland). Answers nullptr when there
// is no display to open; the caller tells the user.
std::unique_ptr<GtkBackend> CreateGtkBackend(int& argc, char**& argv);

}  // namespace ui::gtk
