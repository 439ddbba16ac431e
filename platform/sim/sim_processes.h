#pragma once
#include <vector>

#include "platform/processes.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// A scripted process list. "process.snapshot", "process.terminate <pid>"; a
// terminated process leaves the list.
class SimProcesses : public Processes {
 public:
  explicit SimProcesses(CallLog& log) : log_(log) {}
  std::vector<ProcessEntry> Snapshot() override;
  bool Terminate(std::uint32_t pid, unsigned exitCode) override;

  void SetProcesses(std::vector<ProcessEntry> processes) { processes_ = std::move(processes); }
  void AddProcess(std::uint32_t pid, std::string exeFile);
  const std::vector<ProcessEntry>& Running() const { return processes_; }
  // When false, Terminate refuses (access denied) and the process stays.
  void SetTerminateResult(bool succeeds) { terminateResult_ = succeeds; }

 private:
  CallLog& log_;
  std::vector<ProcessEntry> processes_;
  bool terminateResult_ = true;
};

}  // namespace platform::sim
