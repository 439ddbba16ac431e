#pragma once
#include <map>
#include <optional>

#include "platform/autostart.h"
#include "platform/sim/call_log.h"

namespace platform::sim {

// "autostart.set <name> <command line>", "autostart.remove <name>".
class SimAutostart : public Autostart {
 public:
  explicit SimAutostart(CallLog& log) : log_(log) {}
  bool Set(const std::string& name, const std::string& commandLine) override;
  bool Remove(const std::string& name) override;

  std::optional<std::string> Entry(const std::string& name) const;
  // When false, writes fail and the entries stay as they are.
  void SetResult(bool succeeds) { result_ = succeeds; }

 private:
  CallLog& log_;
  std::map<std::string, std::string> entries_;
  bool result_ = true;
};

}  // namespace platform::sim
