#pragma once
#include <string>
#include <vector>

#include "platform/instance_lock.h"

namespace platform::linuxos {

// A lock file named after the lock, held with flock for the life of the object
// (the process): the kernel lets go when the process ends, however it ends.
// The file lives in $XDG_RUNTIME_DIR, else in the temp folder with the user id
// in its name, so that each user has a lock of their own, as each Windows
// session has its own named mutex.
class LinuxInstanceLock : public InstanceLock {
 public:
  LinuxInstanceLock() = default;
  ~LinuxInstanceLock() override;
  LinuxInstanceLock(const LinuxInstanceLock&) = delete;
  LinuxInstanceLock& operator=(const LinuxInstanceLock&) = delete;

  bool Acquire(const std::string& name) override;
  bool HeldElsewhere(const std::string& name) override;

  // Where the lock file of that name lives.
  static std::string LockFilePath(const std::string& name);

 private:
  std::vector<int> held_;
};

}  // namespace platform::linuxos
