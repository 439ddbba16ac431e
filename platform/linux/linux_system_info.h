#pragma once
#include "platform/system_info.h"

namespace platform::linuxos {

// Linux desktops get the look of a current Windows.
class LinuxSystemInfo : public SystemInfo {
 public:
  int OsMajorVersion() override { return 10; }
};

}  // namespace platform::linuxos
