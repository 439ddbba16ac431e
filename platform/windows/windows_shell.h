#pragma once
#include "platform/shell.h"

namespace platform::windows {

class WindowsShell : public Shell {
 public:
  bool Open(const std::string& target, const std::string& parameters) override;
  bool Exec(const std::string& commandLine) override;
};

}  // namespace platform::windows
