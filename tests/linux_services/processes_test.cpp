#include "platform/linux/linux_processes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "tasks/task_actions.h"

extern char** environ;

namespace platform::linuxos {
namespace {

namespace fs = std::filesystem;

TEST(LinuxProcesses, CloseProgramEndsARealChildByItsExecutableName) {
  // A copy of sleep under a name no other process has.
  const std::string name = "orvvictim" + std::to_string(::getpid());
  const fs::path dir = fs::temp_directory_path() / ("orvane-proc-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path exe = dir / name;
  fs::copy_file("/bin/sleep", exe, fs::copy_options::overwrite_existing);

  pid_t children[2] = {0, 0};
  for (pid_t& child : children) {
    char* argv[] = {const_cast<char*>(exe.c_str()), const_cast<char*>("30"), nullptr};
    ASSERT_EQ(posix_spawn(&child, exe.c_str(), nullptr, nullptr, argv, environ), 0);
  }

  LinuxProcesses processes;
  // Wait until both children run the copied executable.
  for (int i = 0; i < 200; ++i) {
    const auto all = processes.Snapshot();
    const auto found = std::count_if(all.begin(), all.end(),
                                     [&](const ProcessEntry& e) { return e.exeFile == name; });
    if (found == 2) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const auto all = processes.Snapshot();
  ASSERT_TRUE(
      std::is_sorted(all.begin(), all.end(),
                     [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; }));

  // The target in capitals still matches the lower-case file name.
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(tasks::CloseProgram(processes, upper), 2);

  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  }
  EXPECT_EQ(tasks::CloseProgram(processes, name), 0);
  fs::remove_all(dir);
}

// Processes end while the walk reads their files: a read that fails because
// its process went leaves that process out, it never throws.
TEST(LinuxProcesses, AWalkSurvivesProcessesEndingUnderIt) {
  std::atomic<bool> done{false};
  std::thread churn([&] {
    char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
    while (!done) {
      pid_t child = 0;
      if (posix_spawn(&child, "/bin/true", nullptr, nullptr, argv, environ) == 0) {
        ::waitpid(child, nullptr, 0);
      }
    }
  });
  LinuxProcesses processes;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  bool threw = false;
  while (!threw && std::chrono::steady_clock::now() < until) {
    try {
      processes.Snapshot();
    } catch (const std::exception&) {
      threw = true;
    }
  }
  done = true;
  churn.join();
  EXPECT_FALSE(threw);
}

TEST(LinuxProcesses, TerminatingWhatWeMayNotEndFails) {
  LinuxProcesses processes;
  if (::geteuid() != 0) {
    EXPECT_FALSE(processes.Terminate(1, 0));  // init
  }
  EXPECT_FALSE(processes.Terminate(0, 0));
  EXPECT_FALSE(processes.Terminate(0xFFFFFFF0u, 0));
}

}  // namespace
}  // namespace platform::linuxos
