#pragma once
#include "platform/clock.h"

namespace platform::linuxos {

// The monotonic clock for ticks (it does not jump when the wall time is set)
// and the local time of the user's time zone.
class LinuxClock : public Clock {
 public:
  std::uint32_t TickCount() override;
  LocalTime Now() override;
};

}  // namespace platform::linuxos
