#pragma once
#include "platform/idle.h"
#include "platform/sim/virtual_clock.h"

namespace platform::sim {

// The last input on the virtual clock's tick scale. Not recorded in the call
// log: the scheduler asks every second.
class SimIdle : public InputIdle {
 public:
  explicit SimIdle(VirtualClock& clock) : clock_(clock) {}
  std::uint32_t LastInputTick() override { return lastInputTick_; }

  void SetLastInputTick(std::uint32_t tick) { lastInputTick_ = tick; }
  // The user touched keyboard or mouse just now.
  void InputNow() { lastInputTick_ = clock_.TickCount(); }
  // The user has been away for that long, as of now.
  void SetIdleFor(std::uint32_t ms) { lastInputTick_ = clock_.TickCount() - ms; }

 private:
  VirtualClock& clock_;
  std::uint32_t lastInputTick_ = 0;
};

}  // namespace platform::sim
