#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

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
