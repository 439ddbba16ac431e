#pragma once
#include "platform/power.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// "power.privilege", "power.request shutdown|restart|logoff".
class SimPower : public Power {
 public:
  explicit SimPower(CallLog& log) : log_(log) {}
  bool EnableShutdownPrivilege() override;
  bool Request(PowerAction action) override;

  void SetPrivilegeResult(bool granted) { privilegeResult_ = granted; }
  void SetRequestResult(bool accepted) { requestResult_ = accepted; }

 private:
  CallLog& log_;
  bool privilegeResult_ = true;
  bool requestResult_ = true;
};

}  // namespace platform::sim
