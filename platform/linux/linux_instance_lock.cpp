#include "platform/linux/linux_instance_lock.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/text_codec.h"

namespace platform::linuxos {

LinuxInstanceLock::~LinuxInstanceLock() {
  for (int fd : held_) ::close(fd);
}

std::string LinuxInstanceLock::LockFilePath(const std::string& name) {
  std::string fileName = text::GbkToUtf8(name);
  for (char& c : fileName) {
    if (c == '/') c = '_';
  }
  const char* runtime = ::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/" + fileName + ".lock";
  const char* temp = ::getenv("TMPDIR");
  const std::string folder = temp && *temp ? temp : "/tmp";
  return folder + "/" + fileName + "-" + std::to_string(::getuid()) + ".lock";
}

bool LinuxInstanceLock::Acquire(const std::string& name) {
  // Only a lock that another process holds refuses the start. A lock file that
  // cannot be made or locked says nothing about other instances, just as a named
  // mutex that fails to open for another reason lets the program run.
  const int fd = ::open(LockFilePath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
  }
  held_.push_back(fd);
  return true;
}

}  // namespace platform::linuxos
