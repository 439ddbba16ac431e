#include "platform/linux/linux_processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "platform/text_codec.h"

namespace platform::linuxos {

namespace {

std::string FilePart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What could be read; a process that ends while we read its files (the read
// then fails with ESRCH) leaves what came before. Not through a file stream:
// that throws on a failed read.
std::string ReadSmallFile(const std::string& path) {
  std::string text;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
    if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return text;
}

}  // namespace

std::string ExecutableNameOf(std::uint32_t pid) {
  const std::string base = "/proc/" + std::to_string(pid);
  char target[PATH_MAX];
  const ssize_t n = readlink((base + "/exe").c_str(), target, sizeof target - 1);
  if (n > 0) {
    std::string path(target, static_cast<std::size_t>(n));
    // A replaced or deleted executable keeps its name with this mark.
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.ends_with(deleted)) {
      path.resize(path.size() - deleted.size());
    }
    return FilePart(path);
  }
  const std::string cmdline = ReadSmallFile(base + "/cmdline");
  const std::string argv0 = cmdline.substr(0, cmdline.find('\0'));
  if (!argv0.empty()) return FilePart(argv0);
  std::string comm = ReadSmallFile(base + "/comm");
  while (!comm.empty() && comm.back() == '\n') comm.pop_back();
  return comm;
}

std::vector<ProcessEntry> LinuxProcesses::Snapshot() {
  std::vector<std::uint32_t> pids;
  if (DIR* dir = opendir("/proc")) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.empty() ||
          !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        continue;
      }
      pids.push_back(static_cast<std::uint32_t>(std::stoul(name)));
    }
    closedir(dir);
  }
  std::sort(pids.begin(), pids.end());

  std::vector<ProcessEntry> processes;
  for (std::uint32_t pid : pids) {
    const std::string name = ExecutableNameOf(pid);
    if (name.empty()) continue;  // ended while we walked
    processes.push_back({pid, text::Utf8ToGbk(name)});
  }
  return processes;
}

bool LinuxProcesses::Terminate(std::uint32_t pid, unsigned /*exitCode*/) {
  if (pid == 0 || pid > static_cast<std::uint32_t>(INT_MAX)) return false;
  return kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

}  // namespace platform::linuxos
