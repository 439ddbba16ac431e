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
  // True while another process holds the lock; takes nothing. A lock that
  // cannot be looked at counts as free, as Acquire lets a start go ahead then.
  virtual bool HeldElsewhere(const std::string& name) = 0;
};

}  // namespace platform
