#pragma once
#include "platform/power.h"

namespace platform::windows {

class WindowsPower : public Power {
 public:
  bool EnableShutdownPrivilege() override;
  bool Request(PowerAction action) override;
};

}  // namespace platform::windows
