#pragma once
#include "platform/power.h"

namespace platform::linuxos {

// Power and session requests through the system's own tools, never forced:
// inhibitors (a program that blocks the shutdown, an unsaved document in a
// session) may refuse, and a refusal is not retried.
class LinuxPower : public Power {
 public:
  // There is no process privilege to take on Linux: the session's policy
  // (logind and polkit) answers each request.
  bool EnableShutdownPrivilege() override { return true; }
  bool Request(PowerAction action) override;
};

}  // namespace platform::linuxos
