#include "platform/linux/linux_spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace platform::linuxos {

namespace {

// Spawns with stdin from /dev/null and, unless captured, stdout to /dev/null;
// stderr stays with ours so a helper's complaint can still be seen.
std::optional<pid_t> Spawn(const std::vector<std::string>& argv, int stdoutFd) {
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (stdoutFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  // Our own signal mask and dispositions must not leak into the helper.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return std::nullopt;
  return pid;
}

}  // namespace

std::optional<RunResult> RunAndWait(const std::vector<std::string>& argv, int timeoutMs,
                                    bool captureOutput) {
  int pipeFds[2] = {-1, -1};
  if (captureOutput) {
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return std::nullopt;
    // The read end never blocks: a grandchild may hold the write end open.
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
  }
  const std::optional<pid_t> pid = Spawn(argv, captureOutput ? pipeFds[1] : -1);
  if (captureOutput) close(pipeFds[1]);
  if (!pid) {
    if (captureOutput) close(pipeFds[0]);
    return std::nullopt;
  }

  RunResult result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  bool exited = false;
  bool readOpen = captureOutput;
  while (!exited) {
    if (readOpen) {
      pollfd p{pipeFds[0], POLLIN, 0};
      if (poll(&p, 1, 10) > 0) {
        char buffer[4096];
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
          result.output.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
          readOpen = false;
        }
      }
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const pid_t done = waitpid(*pid, &status, WNOHANG);
    if (done == *pid) {
      exited = true;
    } else if (std::chrono::steady_clock::now() > deadline) {
      kill(*pid, SIGKILL);
      waitpid(*pid, &status, 0);
      if (captureOutput) close(pipeFds[0]);
      return result;  // exitCode stays -1
    }
  }
  // Whatever the helper wrote just before it ended.
  while (readOpen) {
    char buffer[4096];
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.output.append(buffer, static_cast<std::size_t>(n));
  }
  if (captureOutput) close(pipeFds[0]);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

bool StartDetached(const std::vector<std::string>& argv) {
  const std::optional<pid_t> pid = Spawn(argv, -1);
  if (!pid) return false;
  std::thread([p = *pid] {
    int status = 0;
    waitpid(p, &status, 0);
  }).detach();
  return true;
}

}  // namespace platform::linuxos
