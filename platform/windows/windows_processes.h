#pragma once
#include "platform/processes.h"

namespace platform::windows {

class WindowsProcesses : public Processes {
 public:
  std::vector<ProcessEntry> Snapshot() override;
  bool Terminate(std::uint32_t pid, unsigned exitCode) override;
};

}  // namespace platform::windows
