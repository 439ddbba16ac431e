#pragma once
#include <string>

namespace platform {

// A named lock held for the life of the process (a named mutex on Windows).
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // False only when another instance holds the lock; true when this process now
  // holds it or the lock could not be made at all (nothing then tells of another).
  virtual bool Acquire(const std::string& name) = 0;
};

}  // namespace platform
