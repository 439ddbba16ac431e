#pragma once
#include "platform/instance_lock.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// "instance.acquire <name>", "instance.probe <name>". Another instance can be
// made to hold the lock.
class SimInstanceLock : public InstanceLock {
 public:
  explicit SimInstanceLock(CallLog& log) : log_(log) {}
  bool Acquire(const std::string& name) override;
  bool HeldElsewhere(const std::string& name) override;

  void SetHeldElsewhere(bool held) { heldElsewhere_ = held; }

 private:
  CallLog& log_;
  bool heldElsewhere_ = false;
};

}  // namespace platform::sim
