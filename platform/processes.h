#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessEntry {
  std::uint32_t pid = 0;
  std::string exeFile;  // bare executable file name, GBK
};

class Processes {
 public:
  virtual ~Processes() = default;
  // Every running process, in the system's walk order.
  virtual std::vector<ProcessEntry> Snapshot() = 0;
  virtual bool Terminate(std::uint32_t pid, unsigned exitCode) = 0;
};

}  // namespace platform
