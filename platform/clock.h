#pragma once
#include <cstdint>

namespace platform {

// Local wall-clock time, as the system reports it to the user.
struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int dayOfWeek = 6;  // 0 = Sunday
  int milliseconds = 0;
};

// The one source of time: the monotonic tick for timers and idle time, and the
// local wall time for set-time tasks and dates.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps around like GetTickCount.
  virtual std::uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
};

}  // namespace platform
