#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/linux/linux_autostart.h"
#include "tests/platform/temp_dir.h"

namespace {

using platform::linuxos::LinuxAutostart;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(LinuxAutostart, WritesTheDesktopEntryAndRemovesIt) {
  testing_support::TempDir home;
  LinuxAutostart autostart(home.path());
  const std::string entry = home / "autostart/orvane.desktop";
  ASSERT_EQ(autostart.EntryPath("Orvane"), entry);

  ASSERT_TRUE(autostart.Set("Orvane", "/opt/my apps/orvane"));
  EXPECT_EQ(Read(entry),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Orvane\n"
            "Exec=\"/opt/my apps/orvane\"\n"
            "Path=/opt/my apps\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n");
  ASSERT_TRUE(autostart.Set("Orvane", "/opt/b/orvane"));  // the same entry, rewritten
  EXPECT_NE(Read(entry).find("Exec=\"/opt/b/orvane\"\n"), std::string::npos);

  EXPECT_TRUE(autostart.Remove("Orvane"));
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_TRUE(autostart.Remove("Orvane"));  // nothing there: nothing to do
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home / "autostart"),
                          std::filesystem::directory_iterator()),
            0);
}

TEST(LinuxAutostart, QuotesWhatTheExecLineReservesAndSpellsTheFolderInUtf8) {
  // "定时" in GBK: the entry is UTF-8 like every desktop entry.
  const std::string gbkFolder = "/home/u/\xB6\xA8\xCA\xB1 $x`y\"%";
  const std::string text = platform::linuxos::DesktopEntryText("Orvane", "/a\\b/c$d/orvane");
  EXPECT_NE(text.find("Exec=\"/a\\\\\\\\b/c\\\\$d/orvane\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Path=/a\\\\b/c$d\n"), std::string::npos) << text;

  testing_support::TempDir home;
  LinuxAutostart autostart(home.path());
  ASSERT_TRUE(autostart.Set("Orvane", gbkFolder + "/orvane"));
  const std::string written = Read(home / "autostart/orvane.desktop");
  EXPECT_NE(written.find(u8"Exec=\"/home/u/定时 \\\\$x\\\\`y\\\\\"%%/orvane\"\n"),
            std::string::npos)
      << written;
  EXPECT_NE(written.find(u8"Path=/home/u/定时 $x`y\"%\n"), std::string::npos) << written;
}

TEST(LinuxAutostart, FindsTheUsersConfigurationFolder) {
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string xdg = savedXdg ? savedXdg : "";
  LinuxAutostart autostart;
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(autostart.EntryPath("Orvane"), "/cfg/autostart/orvane.desktop");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(autostart.EntryPath("Orvane"),
              std::string(home) + "/.config/autostart/orvane.desktop");
  }
  if (savedXdg) {
    ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
