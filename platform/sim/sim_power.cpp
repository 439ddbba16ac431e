#include "platform/sim/sim_power.h"

namespace platform::sim {

bool SimPower::EnableShutdownPrivilege() {
  log_.Record("power.privilege");
  return privilegeResult_;
}

bool SimPower::Request(PowerAction action) {
  const char* name = action == PowerAction::Shutdown  ? "shutdown"
                     : action == PowerAction::Restart ? "restart"
                                                      : "logoff";
  log_.Record(std::string("power.request ") + name);
  return requestResult_;
}

}  // namespace platform::sim
