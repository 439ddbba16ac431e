#pragma once
#include "platform/system_info.h"

namespace platform::sim {

// A current Windows unless a test says otherwise.
class SimSystemInfo : public SystemInfo {
 public:
  int OsMajorVersion() override { return osMajorVersion_; }
  void SetOsMajorVersion(int version) { osMajorVersion_ = version; }

 private:
  int osMajorVersion_ = 10;
};

}  // namespace platform::sim
