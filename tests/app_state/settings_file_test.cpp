#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/sim/sim_platform.h"
#include "tests/platform/temp_dir.h"

namespace {

TEST(AppPaths, DerivedFromTheCurrentDirectory) {
  const struct {
    const char* name;
    std::string directory;
    char separator;
    std::string appDirectory;
    std::string settingsPath;
  } cases[] = {
      {"windows_doubles_separators", "C:\\Program Files\\Orvane", '\\',
       "C:\\\\Program Files\\\\Orvane", "C:\\\\Program Files\\\\Orvane\\\\Config\\\\i.ini"},
      {"windows_trail_byte_is_no_separator", "D:\\\x95\\", '\\', "D:\\\\\x95\\",
       "D:\\\\\x95\\\\\\Config\\\\i.ini"},
      {"linux_plain", "/home/u/orvane", '/', "/home/u/orvane", "/home/u/orvane/Config/i.ini"},
      {"unreadable_directory_is_not_the_root", "", '/', ".", "./Config/i.ini"},
      {"unreadable_directory_is_no_share", "", '\\', ".", ".\\\\Config\\\\i.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const app::AppPaths paths = app::DeriveAppPaths(c.directory, c.separator, 6);
    EXPECT_EQ(paths.appDirectory, c.appDirectory);
    EXPECT_EQ(paths.settingsPath, c.settingsPath);
    EXPECT_EQ(paths.accountPath.substr(0, paths.accountPath.size() - 5),
              c.settingsPath.substr(0, c.settingsPath.size() - 5));
    EXPECT_EQ(paths.accountPath.substr(paths.accountPath.size() - 5), "q.ini");
    EXPECT_EQ(paths.osMajorVersion, "6");
  }
}

TEST(AppPaths, FolderOfAFile) {
  const struct {
    const char* name;
    std::string path;
    char separator;
    std::string folder;
  } cases[] = {
      {"windows_doubled", "C:\\\\a\\\\Config\\\\i.ini", '\\', "C:\\\\a\\\\Config"},
      {"trail_byte_before_separator", "D:\\\\\x95\\\\\\i.ini", '\\', "D:\\\\\x95\\"},
      {"linux", "/home/u/Config/i.ini", '/', "/home/u/Config"},
      {"no_separator", "i.ini", '/', ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(app::FolderOf(c.path, c.separator), c.folder);
  }
}

// Runs each case from a current directory of its own, as when the system starts
// the program at log-on from somewhere else.
struct StartUpReadingTest : ::testing::Test {
  testing_support::TempDir dir;
  platform::sim::SimPlatform sim;
  std::filesystem::path before = std::filesystem::current_path();
  void SetUp() override { std::filesystem::current_path(dir.path()); }
  void TearDown() override { std::filesystem::current_path(before); }
};

TEST_F(StartUpReadingTest, PathsFollowTheCurrentDirectory) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  ASSERT_TRUE(sim.Files().CreateDirectory(dir / "Config"));
  ASSERT_TRUE(sim.Files().WriteFileAtomic(dir / "Config/i.ini", "i"));
  ASSERT_TRUE(sim.Files().WriteFileAtomic(dir / "Config/q.ini", "q"));
  EXPECT_EQ(sim.Files().ReadFile(paths.settingsPath), "i");
  EXPECT_EQ(sim.Files().ReadFile(paths.accountPath), "q");
  EXPECT_EQ(paths.osMajorVersion, "10");
}

TEST_F(StartUpReadingTest, NoConfigFolderGivesDefaultsAndWritesNothing) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  const app::AppSettings s = app::ReadSettingsAtStart(sim.Get(), paths);
  EXPECT_EQ(s.startWithWindows + s.syncTasks + s.rememberPassword + s.autoSignIn, 0);
  EXPECT_EQ(s.autoUpdate, 1);
  EXPECT_FALSE(sim.Files().Exists(dir / "Config"));
}

TEST_F(StartUpReadingTest, FirstWriteMakesTheConfigFolder) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  app::CreateFolderOf(sim.Files(), paths.settingsPath);
  app::CreateFolderOf(sim.Files(), paths.accountPath);
  EXPECT_TRUE(app::WriteSettingsFlag(sim.Profiles(), paths, app::kKeyStartWithWindows, 1));
  EXPECT_EQ(sim.Files().ReadFile(dir / "Config/i.ini"), "[配置]\r\nHi=1\r\n");
}

TEST_F(StartUpReadingTest, ValuesFromTheFile) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  ASSERT_TRUE(sim.Files().CreateDirectory(dir / "Config"));
  const struct {
    const char* name;
    std::string file;
    app::AppSettings expected;
  } cases[] = {
      {"up_zero", "[配置]\r\nUp=0\r\n", {0, 0, 0, 0, 0}},
      {"up_not_a_number", "[配置]\r\nUp=yes\r\nHi=1\r\n", {1, 0, 0, 0, 0}},
      {"missing_up_is_on", "[配置]\r\nHi=1\r\nTb=1\r\nHp=1\r\nTp=1\r\n", {1, 1, 1, 1, 1}},
      {"other_section_only", "[X]\r\nUp=0\r\n", {0, 0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(sim.Files().WriteFileAtomic(paths.settingsPath, c.file));
    const app::AppSettings s = app::ReadSettingsAtStart(sim.Get(), paths);
    EXPECT_EQ(s.startWithWindows, c.expected.startWithWindows);
    EXPECT_EQ(s.syncTasks, c.expected.syncTasks);
    EXPECT_EQ(s.rememberPassword, c.expected.rememberPassword);
    EXPECT_EQ(s.autoSignIn, c.expected.autoSignIn);
    EXPECT_EQ(s.autoUpdate, c.expected.autoUpdate);
  }
}

// Counts the times a file is read through it.
struct CountingProfiles : platform::ProfileFiles {
  explicit CountingProfiles(platform::ProfileFiles& real) : real(real) {}
  int GetInt(const std::string& s, const std::string& k, int d, const std::string& p) override {
    ++reads;
    return real.GetInt(s, k, d, p);
  }
  std::string GetString(const std::string& s, const std::string& k, const std::string& d,
                        unsigned n, const std::string& p) override {
    ++reads;
    return real.GetString(s, k, d, n, p);
  }
  std::unique_ptr<platform::ProfileReader> Read(const std::string& p) override {
    ++reads;
    return real.Read(p);
  }
  bool WriteString(const std::string& s, const std::string& k, const std::string& v,
                   const std::string& p) override {
    return real.WriteString(s, k, v, p);
  }
  platform::ProfileFiles& real;
  int reads = 0;
};

TEST_F(StartUpReadingTest, TheFileIsReadOnceForAllFlags) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  ASSERT_TRUE(sim.Files().CreateDirectory(dir / "Config"));
  ASSERT_TRUE(sim.Files().WriteFileAtomic(paths.settingsPath, "[配置]\r\nHi=1\r\nUp=0\r\n"));
  CountingProfiles counting(sim.Profiles());
  platform::Platform services = sim.Get();
  platform::Platform counted{services.clock,     services.files,        counting,
                             services.power,     services.processes,    services.shell,
                             services.idle,      services.sound,        services.http,
                             services.autostart, services.instanceLock, services.systemInfo};
  const app::AppSettings s = app::ReadSettingsAtStart(counted, paths);
  EXPECT_EQ(counting.reads, 1);
  EXPECT_EQ(s.startWithWindows, 1);
  EXPECT_EQ(s.autoUpdate, 0);
}

// A folder, a pipe or a device there reads as no file, and never blocks the start.
TEST_F(StartUpReadingTest, WhatIsNoRegularFileReadsAsMissing) {
  const app::AppPaths paths = app::DeriveAppPaths(sim.Get());
  ASSERT_TRUE(sim.Files().CreateDirectory(dir / "Config"));
  std::vector<std::string> kinds = {"folder"};
  ASSERT_TRUE(sim.Files().CreateDirectory(paths.settingsPath));
#ifndef _WIN32
  kinds.push_back("pipe");
  ASSERT_EQ(::mkfifo(paths.accountPath.c_str(), 0600), 0);
#endif
  for (const std::string& kind : kinds) {
    SCOPED_TRACE(kind);
    const std::string path = kind == "folder" ? paths.settingsPath : paths.accountPath;
    app::AppPaths at = paths;
    at.settingsPath = path;
    const app::AppSettings s = app::ReadSettingsAtStart(sim.Get(), at);
    EXPECT_EQ(s.startWithWindows + s.syncTasks + s.rememberPassword + s.autoSignIn, 0);
    EXPECT_EQ(s.autoUpdate, 1);
    EXPECT_EQ(sim.Profiles().GetString("配置", "Up", "d", 260, path), "d");
    // Nor is it replaced by a file.
    EXPECT_FALSE(app::WriteSettingsFlag(sim.Profiles(), at, app::kKeyAutoUpdate, 1));
  }
}

}  // namespace
