#pragma once
#include <string>

#include "platform/processes.h"

namespace platform::linuxos {

// Processes as /proc shows them, in ascending process id order.
class LinuxProcesses : public Processes {
 public:
  std::vector<ProcessEntry> Snapshot() override;
  // Asks the process to end (SIGTERM); a process cannot be given an exit code
  // from outside on Linux, so `exitCode` is not used. False when not allowed.
  bool Terminate(std::uint32_t pid, unsigned exitCode) override;
};

// The bare executable file name of a process: the file its exe link points
// to, or, for processes of other users whose link we may not read, the file
// part of its first argument, or its kernel name. Empty when it has gone.
std::string ExecutableNameOf(std::uint32_t pid);

}  // namespace platform::linuxos
