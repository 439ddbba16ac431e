#include "platform/linux/linux_instance_lock.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {

// Opens the lock file and tries to lock it; the descriptor when it is locked
// now, -1 with `heldElsewhere` set when another process holds it. In a shared
// temporary folder anyone may make the file first: one that is not our own
// regular file (another user's, or a link) is no lock of ours, so another
// user cannot keep the program from starting by holding it.
int TryLock(const std::string& path, bool* heldElsewhere) {
  *heldElsewhere = false;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return -1;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    *heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

bool LinuxInstanceLock::HeldElsewhere(const std::string& name) {
  bool heldElsewhere = false;
  const int fd = TryLock(LockFilePath(name), &heldElsewhere);
  // Closing lets go of the lock at once.
  if (fd >= 0) ::close(fd);
  return heldElsewhere;
}

bool LinuxInstanceLock::Acquire(const std::string& name) {
  // Only a lock that another process holds refuses the start. A lock file that
  // cannot be made or locked says nothing about other instances, just as a named
  // mutex that fails to open for another reason lets the program run.
  bool heldElsewhere = false;
  const int fd = TryLock(LockFilePath(name), &heldElsewhere);
  if (fd < 0) return !heldElsewhere;
  held_.push_back(fd);
  return true;
}

}  // namespace platform::linuxos
