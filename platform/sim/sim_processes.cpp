#include "platform/sim/sim_processes.h"

#include <algorithm>

namespace platform::sim {

std::vector<ProcessEntry> SimProcesses::Snapshot() {
  log_.Record("process.snapshot");
  return processes_;
}

bool SimProcesses::Terminate(std::uint32_t pid, unsigned /*exitCode*/) {
  log_.Record("process.terminate " + std::to_string(pid));
  const auto it = std::find_if(processes_.begin(), processes_.end(),
                               [pid](const ProcessEntry& p) { return p.pid == pid; });
  if (it == processes_.end() || !terminateResult_) return false;
  processes_.erase(it);
  return true;
}

void SimProcesses::AddProcess(std::uint32_t pid, std::string exeFile) {
  processes_.push_back(ProcessEntry{pid, std::move(exeFile)});
}

}  // namespace platform::sim
