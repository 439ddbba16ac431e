#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_instance_lock.h"
#include "platform/linux/linux_platform.h"
#include "tests/platform/temp_dir.h"

namespace {

using platform::linuxos::LinuxInstanceLock;

// Whether a fresh process gets the lock.
bool ChildAcquires(const std::string& name) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    LinuxInstanceLock lock;
    ::_exit(lock.Acquire(name) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(LinuxInstanceLock, SecondProcessIsRefusedUntilTheFirstEnds) {
  testing_support::TempDir dir;
  ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
  EXPECT_EQ(LinuxInstanceLock::LockFilePath("DravoOV"), dir / "DravoOV.lock");

  EXPECT_TRUE(ChildAcquires("DravoOV"));  // the child's lock ended with it
  {
    LinuxInstanceLock first;
    ASSERT_TRUE(first.Acquire("DravoOV"));
    EXPECT_FALSE(ChildAcquires("DravoOV"));
    EXPECT_FALSE(LinuxInstanceLock().Acquire("DravoOV"));  // as a second named mutex would
    EXPECT_TRUE(LinuxInstanceLock().HeldElsewhere("DravoOV"));
    EXPECT_TRUE(ChildAcquires("Other"));
  }
  // Looking takes nothing.
  EXPECT_FALSE(LinuxInstanceLock().HeldElsewhere("DravoOV"));
  EXPECT_TRUE(ChildAcquires("DravoOV"));

  // A lock file that cannot be made tells of no other instance.
  ::setenv("XDG_RUNTIME_DIR", (dir / "missing").c_str(), 1);
  EXPECT_TRUE(ChildAcquires("DravoOV"));

  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_NE(LinuxInstanceLock::LockFilePath("a/b").find("a_b-" + std::to_string(::getuid())),
            std::string::npos);
}

TEST(LinuxInstanceLock, AnotherUsersFileAtThePathHoldsNothingBack) {
  testing_support::TempDir dir;
  ::setenv("TMPDIR", dir.path().c_str(), 1);
  ::unsetenv("XDG_RUNTIME_DIR");
  const std::string path = LinuxInstanceLock::LockFilePath("DravoOV");
  // What another user of a shared temporary folder could leave there, locked.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  if (::fchown(fd, 65534, 65534) != 0) {
    ::close(fd);
    ::unsetenv("TMPDIR");
    GTEST_SKIP() << "giving a file away takes root";
  }
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(ChildAcquires("DravoOV"));
  EXPECT_FALSE(LinuxInstanceLock().HeldElsewhere("DravoOV"));
  ::close(fd);

  // Nor does a link planted there, whatever it names.
  ::unlink(path.c_str());
  ASSERT_EQ(::symlink((dir / "elsewhere").c_str(), path.c_str()), 0);
  EXPECT_TRUE(ChildAcquires("DravoOV"));
  EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere"));
  ::unsetenv("TMPDIR");
}

TEST(LinuxClock, TicksMoveAndWallTimeIsLocal) {
  platform::linuxos::LinuxClock clock;
  const std::uint32_t before = clock.TickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint32_t elapsed = clock.TickCount() - before;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 5000u);

  const time_t now = ::time(nullptr);
  tm local{};
  ::localtime_r(&now, &local);
  const platform::LocalTime t = clock.Now();
  EXPECT_EQ(t.year, local.tm_year + 1900);
  EXPECT_EQ(t.month, local.tm_mon + 1);
  EXPECT_EQ(t.dayOfWeek, local.tm_wday);
  EXPECT_LE(std::abs((t.hour * 60 + t.minute) - (local.tm_hour * 60 + local.tm_min)), 1);
  EXPECT_LT(t.milliseconds, 1000);
}

TEST(LinuxPlatform, ReportsANewSystem) {
  platform::linuxos::LinuxPlatform services;
  EXPECT_EQ(services.Get().systemInfo.OsMajorVersion(), 10);
}

}  // namespace
