#include "tasks/task_actions.h"

#include <cstdint>
#include <vector>

namespace tasks {

namespace {

// Bytes that start a two-byte GBK character.
bool IsLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

}  // namespace

std::string LowerGbk(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto byte = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(byte) && i + 1 < out.size()) {
      ++i;
      continue;
    }
    if (byte >= 'A' && byte <= 'Z') out[i] = static_cast<char>(byte - 'A' + 'a');
  }
  return out;
}

bool RequestPower(platform::Power& power, platform::PowerAction action) {
  return power.Request(action);
}

bool OpenTaskFile(platform::Shell& shell, const std::string& path) {
  return shell.Open(path);
}

int CloseProgram(platform::Processes& processes, const std::string& target) {
  const std::string wanted = LowerGbk(target);
  std::vector<std::uint32_t> matches;
  for (const platform::ProcessEntry& entry : processes.Snapshot()) {
    if (LowerGbk(entry.exeFile) == wanted) matches.push_back(entry.pid);
  }
  int ended = 0;
  for (std::uint32_t pid : matches) {
    if (pid == 0) continue;
    if (!processes.Terminate(pid, 0)) break;
    ++ended;
  }
  return ended;
}

}  // namespace tasks
