#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
