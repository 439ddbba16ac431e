// Our profile files against GetPrivateProfile*A / WritePrivateProfileStringA:
// the same file, the same call, the same answer.
#include <gtest/gtest.h>

#include "platform/windows/win32.h"

#include <string>
#include <vector>

#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "platform/windows/wide_text.h"

namespace platform {
namespace {

class ProfileVsWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    folder_ =
        windows::Narrow(base) + "orvane-ini-" + std::to_string(GetCurrentProcessId()) + "-配置";
    ASSERT_TRUE(files_.CreateDirectory(folder_));
  }
  void TearDown() override {
    for (const char* name : {"\\system.ini", "\\ours.ini"}) files_.Remove(folder_ + name);
    files_.Remove(folder_);
  }
  // Separate files, so neither side sees a cache or a handle of the other.
  std::string SystemPath() const { return folder_ + "\\system.ini"; }
  std::string OurPath() const { return folder_ + "\\ours.ini"; }
  void Lay(const std::string& content) {
    files_.Remove(SystemPath());
    files_.Remove(OurPath());
    if (content == kNoFile) return;
    ASSERT_TRUE(files_.WriteFileAtomic(SystemPath(), content));
    ASSERT_TRUE(files_.WriteFileAtomic(OurPath(), content));
  }

  static inline const std::string kNoFile = "<no file>";
  StdFileSystem files_;
  IniProfileFiles ours_{files_};
  std::string folder_;
};

const std::string kSample =
    "k0=before any section\r\n"
    "[配置]\r\n"
    "Hi=1\r\n"
    "  up  =  0  \r\n"
    "q1=\"quoted\"\r\n"
    "q2='single'\r\n"
    "q3=\"half\r\n"
    "empty=\r\n"
    "noequals\r\n"
    "long=abcdefgh\r\n"
    "cn=中文字\r\n"
    "; note=not a comment\r\n"
    "num= 42abc\r\n"
    "neg=-5\r\n"
    "hex=0x1F\r\n"
    "word=abc\r\n"
    "huge=4294967297\r\n"
    "[ spaced ]\r\n"
    "a=1\r\n"
    "[配置]\r\n"
    "late=second section\r\n"
    "[lf]\n"
    "x=y\n"
    "[cr]\r"
    "x=z\r";

TEST_F(ProfileVsWindows, StringsReadAlike) {
  struct Case {
    std::string section, key, defaultValue;
    unsigned size;
  };
  // Cuts through a double-byte character are left out: Wine leaves a stray
  // byte there, where we stop before the character.
  const std::vector<Case> cases = {
      {"配置", "Hi", "d", 260},       {"配置", "UP", "d", 260},
      {"配置", "q1", "", 260},        {"配置", "q2", "", 260},
      {"配置", "q3", "", 260},        {"配置", "empty", "d", 260},
      {"配置", "noequals", "d", 260}, {"配置", "none", "def  ", 260},
      {"Other", "Hi", "d", 260},      {"配置", "long", "", 5},
      {"配置", "long", "", 1},        {"配置", "none", "default", 4},
      {"配置", "cn", "", 260},        {"配置", "cn", "", 7},
      {"配置", "; note", "", 260},    {"spaced", "a", "", 260},
      {"配置", "late", "d", 260},     {"", "k0", "", 260},
      {"lf", "x", "", 260},           {"CR", "X", "", 260},
  };
  Lay(kSample);
  for (const Case& c : cases) {
    std::vector<char> buffer(c.size + 1, '\x7F');
    GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.defaultValue.c_str(),
                             buffer.data(), c.size, SystemPath().c_str());
    const std::string system = c.size ? std::string(buffer.data()) : std::string();
    EXPECT_EQ(ours_.GetString(c.section, c.key, c.defaultValue, c.size, OurPath()), system)
        << "[" << c.section << "] " << c.key << " size " << c.size;
  }
}

TEST_F(ProfileVsWindows, IntegersReadAlike) {
  Lay(kSample);
  for (const char* key : {"Hi", "up", "num", "neg", "hex", "word", "empty", "none", "huge", "q3"}) {
    EXPECT_EQ(ours_.GetInt("配置", key, 77, OurPath()),
              static_cast<int>(GetPrivateProfileIntA("配置", key, 77, SystemPath().c_str())))
        << key;
  }
  Lay(kNoFile);
  EXPECT_EQ(ours_.GetInt("配置", "Up", 1, OurPath()),
            static_cast<int>(GetPrivateProfileIntA("配置", "Up", 1, SystemPath().c_str())));
}

TEST_F(ProfileVsWindows, WritesLeaveTheSameBytes) {
  struct Case {
    const char* name;
    std::string before, section, key, value;
  };
  // No blank lines in these files: Wine drops them when it rewrites a file.
  const std::vector<Case> cases = {
      {"new_file", kNoFile, "配置", "Hi", "1"},
      {"new_section_at_end", "[A]\r\nk=v\r\n", "配置", "Up", "0"},
      {"after_unterminated_line", "[A]\r\nk=v", "B", "c", "3"},
      {"replace_in_place", "; c\r\n[A]\r\n  k = old  \r\nx=1\r\n", "a", "K", "new"},
      {"new_key_before_next_section", "[A]\r\nk=1\r\n[B]\r\ny=2\r\n", "A", "z", "9"},
      {"gbk_value", "[X]\r\ni=\r\nn=\r\n", "X", "n", "张三"},
      {"empty_value", "[X]\r\ni=abc\r\n", "X", "i", ""},
      {"first_of_duplicates", "[A]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "3"},
  };
  for (const Case& c : cases) {
    Lay(c.before);
    ASSERT_TRUE(WritePrivateProfileStringA(c.section.c_str(), c.key.c_str(), c.value.c_str(),
                                           SystemPath().c_str()))
        << c.name;
    // The system caches profile files; flush so the bytes are on disk.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, SystemPath().c_str());
    ASSERT_TRUE(ours_.WriteString(c.section, c.key, c.value, OurPath())) << c.name;
    EXPECT_EQ(files_.ReadFile(OurPath()), files_.ReadFile(SystemPath())) << c.name;
  }
}

TEST_F(ProfileVsWindows, EachSideReadsWhatTheOtherWrote) {
  Lay(kNoFile);
  WritePrivateProfileStringA("X", "n", "61626300", SystemPath().c_str());
  WritePrivateProfileStringA("X", "i", "账号", SystemPath().c_str());
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, SystemPath().c_str());
  EXPECT_EQ(ours_.GetString("X", "i", "0", 260, SystemPath()), "账号");

  ASSERT_TRUE(ours_.WriteString("配置", "Tp", "1", OurPath()));
  ASSERT_TRUE(ours_.WriteString("配置", "Up", "0", OurPath()));
  char buffer[260];
  GetPrivateProfileStringA("配置", "Tp", "", buffer, sizeof(buffer), OurPath().c_str());
  EXPECT_STREQ(buffer, "1");
  EXPECT_EQ(GetPrivateProfileIntA("配置", "Up", 1, OurPath().c_str()), 0u);
}

}  // namespace
}  // namespace platform
