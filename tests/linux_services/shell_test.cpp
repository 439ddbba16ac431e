#include "platform/linux/linux_shell.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace platform::linuxos {
namespace {

namespace fs = std::filesystem;

TEST(LinuxShell, SplitsCommandLinesOnBlanksOutsideQuotes) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  } const cases[] = {
      {"notepad", {"notepad"}},
      {"  a   b\tc ", {"a", "b", "c"}},
      {"\"/opt/My Tools/run\" -x \"\"", {"/opt/My Tools/run", "-x", ""}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(LinuxShell, OpensExistingFilesWithTheDesktopHandlerAndFailsQuietlyOnMissingOnes) {
  const fs::path dir = fs::temp_directory_path() / ("orvane-shell-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path log = dir / "opened.log";
  const fs::path handler = dir / "xdg-open";
  std::ofstream(handler) << "#!/bin/sh\necho \"$1\" >> '" << log.string() << "'\n";
  fs::permissions(handler, fs::perms::owner_all);
  const fs::path document = dir / std::string(u8"报告 1.txt");  // UTF-8 on Linux
  std::ofstream(document) << "x";

  const std::string savedPath = std::getenv("PATH");
  setenv("PATH", dir.c_str(), 1);
  LinuxShell shell;
  // The program holds paths in GBK; the handler gets UTF-8.
  const std::string gbkPath = dir.string() + "/\xB1\xA8\xB8\xE6 1.txt";
  EXPECT_TRUE(shell.Open(gbkPath));
  EXPECT_FALSE(shell.Open(dir.string() + "/gone.txt"));
  setenv("PATH", savedPath.c_str(), 1);

  std::string opened;
  for (int i = 0; i < 200 && opened.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(log);
    std::getline(in, opened);
  }
  EXPECT_EQ(opened, document.string());
  fs::remove_all(dir);
}

TEST(LinuxShell, StartsTheDesktopsOwnProgramsForTheWindowsAccessories) {
  const fs::path dir = fs::temp_directory_path() / ("orvane-standin-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path log = dir / "started.log";
  // A later editor of the list and the last terminal, each logging its start.
  for (const char* program : {"mousepad", "xterm"}) {
    const fs::path file = dir / program;
    std::ofstream(file) << "#!/bin/sh\necho " << program << " >> '" << log.string() << "'\n";
    fs::permissions(file, fs::perms::owner_all);
  }
  const std::string savedPath = std::getenv("PATH");
  setenv("PATH", dir.c_str(), 1);
  EXPECT_EQ(DesktopStandIn("notepad"), "mousepad");
  EXPECT_EQ(DesktopStandIn("NOTEPAD.EXE"), "mousepad");
  EXPECT_EQ(DesktopStandIn("cmd.exe"), "xterm");
  EXPECT_EQ(DesktopStandIn("calc"), "");  // none there: the start fails quietly
  EXPECT_EQ(DesktopStandIn("mousepad"), "");
  LinuxShell shell;
  EXPECT_TRUE(shell.Exec("notepad"));
  EXPECT_TRUE(shell.Open("cmd.exe"));
  EXPECT_FALSE(shell.Exec("calc"));
  setenv("PATH", savedPath.c_str(), 1);

  std::vector<std::string> started;
  for (int i = 0; i < 200 && started.size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    started.clear();
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) started.push_back(line);
  }
  std::sort(started.begin(), started.end());
  EXPECT_EQ(started, (std::vector<std::string>{"mousepad", "xterm"}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace platform::linuxos
