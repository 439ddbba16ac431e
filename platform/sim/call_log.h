#pragma once
#include <mutex>
#include <string>
#include <vector>

namespace platform::sim {

// Every call a simulated service received, in order, as one line of text
// ("power.request shutdown", "shell.open C:\\a.txt"). Tests and scenarios read it back.
class CallLog {
 public:
  void Record(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
  }
  std::vector<std::string> Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

}  // namespace platform::sim
