#include "tasks/task_actions.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace tasks {
namespace {

TEST(TaskActions, LowerCasingKeepsDoubleByteCharactersWhole) {
  EXPECT_EQ(LowerGbk("NotePad.EXE"), "notepad.exe");
  // "\xB0\x41" is one GBK character whose trail byte is an ASCII 'A'.
  EXPECT_EQ(LowerGbk("\xB0\x41X.EXE"), "\xB0\x41x.exe");
  EXPECT_EQ(LowerGbk("AB\xB0"), "ab\xB0");  // a lone lead byte at the end
}

class ScriptedProcesses : public platform::Processes {
 public:
  std::vector<platform::ProcessEntry> running;
  std::set<std::uint32_t> protectedPids;
  std::vector<std::uint32_t> terminated;

  std::vector<platform::ProcessEntry> Snapshot() override { return running; }
  bool Terminate(std::uint32_t pid, unsigned exitCode) override {
    EXPECT_EQ(exitCode, 0u);
    if (protectedPids.count(pid)) return false;
    terminated.push_back(pid);
    return true;
  }
};

TEST(TaskActions, CloseProgramEndsEveryMatchInWalkOrderUntilOneRefuses) {
  ScriptedProcesses processes;
  processes.running = {{10, "Player.exe"}, {0, "player.exe"},      {11, "other.exe"},
                       {12, "PLAYER.EXE"}, {13, "player.exe.bak"}, {14, "player.exe"}};
  EXPECT_EQ(CloseProgram(processes, "PLAYER.exe"), 3);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{10, 12, 14}));

  processes.terminated.clear();
  processes.protectedPids = {10};
  EXPECT_EQ(CloseProgram(processes, "player.exe"), 0);
  EXPECT_TRUE(processes.terminated.empty()) << "later matches stay when the first refuses";
}

}  // namespace
}  // namespace tasks
