#pragma once
#include "platform/shell.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// "shell.open <target>" (then " <parameters>" when given), "shell.exec <command line>".
class SimShell : public Shell {
 public:
  explicit SimShell(CallLog& log) : log_(log) {}
  bool Open(const std::string& target, const std::string& parameters = {}) override;
  bool Exec(const std::string& commandLine) override;

  void SetOpenResult(bool succeeds) { openResult_ = succeeds; }
  void SetExecResult(bool succeeds) { execResult_ = succeeds; }

 private:
  CallLog& log_;
  bool openResult_ = true;
  bool execResult_ = true;
};

}  // namespace platform::sim
