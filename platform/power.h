#pragma once

namespace platform {

enum class PowerAction { Shutdown, Restart, LogOff };

// Power and session actions. Never forced: applications may still refuse.
class Power {
 public:
  virtual ~Power() = default;
  // Enables the privilege that allows shutting the system down; false when refused.
  virtual bool EnableShutdownPrivilege() = 0;
  // Asks the system to carry the action out; false when the request was refused.
  virtual bool Request(PowerAction action) = 0;
};

}  // namespace platform
