#include "platform/linux/linux_idle.h"

#include <cstdlib>
#include <string>

#include "platform/linux/linux_spawn.h"

#if ORVANE_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace platform::linuxos {

namespace {

bool WaylandSession() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* type = std::getenv("XDG_SESSION_TYPE");
  return (wayland && *wayland) || (type && std::string(type) == "wayland");
}

// GNOME answers "(uint64 12345,)".
std::optional<std::uint64_t> MutterIdle() {
  const std::optional<RunResult> r = RunAndWait(
      {"gdbus", "call", "--session", "--timeout", "2", "--dest", "org.gnome.Mutter.IdleMonitor",
       "--object-path", "/org/gnome/Mutter/IdleMonitor/Core", "--method",
       "org.gnome.Mutter.IdleMonitor.GetIdletime"},
      3000, true);
  if (!r || r->exitCode != 0) return std::nullopt;
  const std::size_t at = r->output.find("uint64 ");
  if (at == std::string::npos) return std::nullopt;
  std::uint64_t ms = 0;
  bool any = false;
  for (std::size_t i = at + 7; i < r->output.size() && r->output[i] >= '0' && r->output[i] <= '9';
       ++i) {
    ms = ms * 10 + static_cast<std::uint64_t>(r->output[i] - '0');
    any = true;
  }
  return any ? std::optional<std::uint64_t>(ms) : std::nullopt;
}

}  // namespace

LinuxIdle::LinuxIdle(Clock& clock) : clock_(clock) {}

LinuxIdle::~LinuxIdle() {
#if ORVANE_HAVE_XSS
  if (display_) XCloseDisplay(static_cast<Display*>(display_));
#endif
}

std::optional<std::uint64_t> LinuxIdle::IdleMilliseconds() {
  if (WaylandSession()) return MutterIdle();
#if ORVANE_HAVE_XSS
  if (!x11Tried_) {
    x11Tried_ = true;
    const char* name = std::getenv("DISPLAY");
    if (name && *name) display_ = XOpenDisplay(nullptr);
    int event = 0;
    int error = 0;
    x11Usable_ =
        display_ && XScreenSaverQueryExtension(static_cast<Display*>(display_), &event, &error);
  }
  if (x11Usable_) {
    Display* display = static_cast<Display*>(display_);
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    std::optional<std::uint64_t> idle;
    if (info && XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) {
      idle = info->idle;
    }
    if (info) XFree(info);
    return idle;
  }
#endif
  return std::nullopt;
}

std::uint32_t LinuxIdle::LastInputTick() {
  const std::uint32_t now = clock_.TickCount();
  const std::optional<std::uint64_t> idle = IdleMilliseconds();
  // Unsigned arithmetic: the answer wraps with the tick count, and the
  // caller's now - last gives the idle time back across the wrap.
  return idle ? now - static_cast<std::uint32_t>(*idle) : now;
}

}  // namespace platform::linuxos
