#pragma once
#include "platform/autostart.h"

namespace platform::linuxos {

// Stands in until the Linux start-at-log-on entry is written: every call
// fails, so the program reports the setting as not made rather than
// pretending it was.
class UnsupportedAutostart : public Autostart {
 public:
  bool Set(const std::string& /*name*/, const std::string& /*commandLine*/) override {
    return false;
  }
  bool Remove(const std::string& /*name*/) override { return false; }
};

}  // namespace platform::linuxos
