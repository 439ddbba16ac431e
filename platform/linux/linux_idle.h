#pragma once
#include <cstdint>
#include <optional>

#include "platform/clock.h"
#include "platform/idle.h"

namespace platform::linuxos {

// The time since the user last touched keyboard or mouse, on the clock's
// tick scale. Tried in order:
//  - a Wayland session: the compositor's idle monitor on the session bus
//    (GNOME's Mutter). The X11 answer is not used there: it sees only input
//    that reaches X11 windows, so a user typing into a Wayland window would
//    count as idle;
//  - an X11 session: the screen-saver extension (XScreenSaverQueryInfo);
//  - neither answers: the user counts as present (idle 0), so idle tasks
//    wait rather than fire while someone may be working.
class LinuxIdle : public InputIdle {
 public:
  explicit LinuxIdle(Clock& clock);
  ~LinuxIdle() override;
  LinuxIdle(const LinuxIdle&) = delete;
  LinuxIdle& operator=(const LinuxIdle&) = delete;

  std::uint32_t LastInputTick() override;

  // Milliseconds of idleness, or nullopt when nothing on this machine can tell.
  std::optional<std::uint64_t> IdleMilliseconds();

 private:
  Clock& clock_;
  void* display_ = nullptr;  // X11 Display*, opened on first use
  bool x11Tried_ = false;
  bool x11Usable_ = false;
};

}  // namespace platform::linuxos
