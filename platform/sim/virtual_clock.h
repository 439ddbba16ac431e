#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace platform::sim {

// A clock that moves only when told to. The headless backend fires its timers
// from it, so a minute of program time passes in microseconds.
class VirtualClock : public Clock {
 public:
  VirtualClock();

  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(elapsedMs_ + tickBase_); }
  LocalTime Now() override;

  // Milliseconds since the clock was made (does not wrap).
  std::uint64_t ElapsedMs() const { return elapsedMs_; }
  void Advance(std::uint64_t ms) { elapsedMs_ += ms; }
  // Sets the wall time; the tick count is not touched.
  void SetLocalTime(const LocalTime& time);
  // Starts the tick count elsewhere (for wrap-around cases).
  void SetTickBase(std::uint32_t base) { tickBase_ = base; }

 private:
  std::uint64_t elapsedMs_ = 0;
  std::uint32_t tickBase_ = 0;
  std::int64_t wallBaseMs_ = 0;  // wall time at wallBaseElapsed_, ms since 1970 (local)
  std::uint64_t wallBaseElapsed_ = 0;
};

}  // namespace platform::sim
