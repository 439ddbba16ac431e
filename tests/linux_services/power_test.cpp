#include "platform/linux/linux_power.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace platform::linuxos {
namespace {

namespace fs = std::filesystem;

// Stand-in tools on a private PATH: each records its name and arguments
// instead of powering the machine off.
class PowerTools : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orvane-power-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    log_ = dir_ / "calls.log";
    savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    const char* session = std::getenv("XDG_SESSION_ID");
    savedSession_ = session ? std::optional<std::string>(session) : std::nullopt;
    setenv("PATH", dir_.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", savedPath_.c_str(), 1);
    if (savedSession_) {
      setenv("XDG_SESSION_ID", savedSession_->c_str(), 1);
    } else {
      unsetenv("XDG_SESSION_ID");
    }
    fs::remove_all(dir_);
  }

  void Tool(const std::string& name, int exitCode) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << "#!/bin/sh\necho \"${0##*/} $*\" >> '" << log_.string() << "'\nexit "
                        << exitCode << "\n";
    fs::permissions(path, fs::perms::owner_all);
  }

  std::vector<std::string> Calls() const {
    std::ifstream in(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path dir_;
  fs::path log_;
  std::string savedPath_;
  std::optional<std::string> savedSession_;
};

TEST_F(PowerTools, ShutdownAndRestartAskSystemctlWithInhibitorsChecked) {
  Tool("systemctl", 0);
  Tool("busctl", 0);
  LinuxPower power;
  EXPECT_TRUE(power.EnableShutdownPrivilege());
  EXPECT_TRUE(power.Request(PowerAction::Shutdown));
  EXPECT_TRUE(power.Request(PowerAction::Restart));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"systemctl poweroff --check-inhibitors=yes",
                                               "systemctl reboot --check-inhibitors=yes"}));
}

TEST_F(PowerTools, ARefusalIsFinalAndOtherWaysAreTriedOnlyWhenAToolIsMissing) {
  Tool("systemctl", 1);  // an inhibitor said no
  Tool("busctl", 0);
  LinuxPower power;
  EXPECT_FALSE(power.Request(PowerAction::Shutdown));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"systemctl poweroff --check-inhibitors=yes"}));

  std::filesystem::remove(dir_ / "systemctl");
  EXPECT_TRUE(power.Request(PowerAction::Restart));
  EXPECT_EQ(Calls().back(),
            "busctl call org.freedesktop.login1 /org/freedesktop/login1 "
            "org.freedesktop.login1.Manager Reboot b false");

  std::filesystem::remove(dir_ / "busctl");
  EXPECT_FALSE(power.Request(PowerAction::Shutdown)) << "no way of asking";
}

TEST_F(PowerTools, LogOffEndsThisSessionWhenNoSessionManagerAnswers) {
  Tool("loginctl", 0);
  setenv("XDG_SESSION_ID", "c7", 1);
  LinuxPower power;
  EXPECT_TRUE(power.Request(PowerAction::LogOff));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"loginctl terminate-session c7"}));
}

}  // namespace
}  // namespace platform::linuxos
