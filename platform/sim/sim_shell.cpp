#include "platform/sim/sim_shell.h"

namespace platform::sim {

bool SimShell::Open(const std::string& target, const std::string& parameters) {
  log_.Record("shell.open " + target + (parameters.empty() ? "" : " " + parameters));
  return openResult_;
}

bool SimShell::Exec(const std::string& commandLine) {
  log_.Record("shell.exec " + commandLine);
  return execResult_;
}

}  // namespace platform::sim
