#include "platform/sim/sim_instance_lock.h"

namespace platform::sim {

bool SimInstanceLock::Acquire(const std::string& name) {
  log_.Record("instance.acquire " + name);
  return !heldElsewhere_;
}

bool SimInstanceLock::HeldElsewhere(const std::string& name) {
  log_.Record("instance.probe " + name);
  return heldElsewhere_;
}

}  // namespace platform::sim
