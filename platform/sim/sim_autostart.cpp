#include "platform/sim/sim_autostart.h"

namespace platform::sim {

bool SimAutostart::Set(const std::string& name, const std::string& commandLine) {
  log_.Record("autostart.set " + name + " " + commandLine);
  if (!result_) return false;
  entries_[name] = commandLine;
  return true;
}

bool SimAutostart::Remove(const std::string& name) {
  log_.Record("autostart.remove " + name);
  if (!result_) return false;
  entries_.erase(name);
  return true;
}

std::optional<std::string> SimAutostart::Entry(const std::string& name) const {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

}  // namespace platform::sim
