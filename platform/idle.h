#pragma once
#include <cstdint>

namespace platform {

// When the user last touched keyboard or mouse, on the clock's tick scale.
class InputIdle {
 public:
  virtual ~InputIdle() = default;
  // Tick count of the last input event (GetLastInputInfo). Idle time is
  // TickCount() - LastInputTick() as unsigned 32-bit arithmetic.
  virtual std::uint32_t LastInputTick() = 0;
};

}  // namespace platform
