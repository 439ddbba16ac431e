#pragma once
#include "platform/clock.h"
#include "platform/idle.h"

namespace platform::windows {

class WindowsClock : public Clock {
 public:
  std::uint32_t TickCount() override;
  LocalTime Now() override;
};

class WindowsInputIdle : public InputIdle {
 public:
  std::uint32_t LastInputTick() override;
};

}  // namespace platform::windows
