#pragma once
#include <string>

namespace platform {

// A named lock held for the life of the process (a named mutex on Windows).
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this process now holds the lock; false when another instance does.
  virtual bool Acquire(const std::string& name) = 0;
};

}  // namespace platform
