#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "tests/platform/temp_dir.h"

namespace {

using platform::ini::ReadInt;
using platform::ini::ReadString;
using platform::ini::WithValue;

const char kSample[] =
    "k0=before any section\r\n"
    "[配置]\r\n"
    "Hi=1\r\n"
    "  Up =  0  \r\n"
    "q1=\"quoted\"\r\n"
    "q2='single'\r\n"
    "q3=\"half\r\n"
    "empty=\r\n"
    "noequals\r\n"
    "long=abcdefghij\r\n"
    "cn=中文字\r\n"
    "; note=not a comment\r\n"
    "\r\n"
    "[ Spaced ]\n"
    "a=1\n"
    "[配置]\r\n"
    "late=second section of that name is never seen\r\n"
    "[Last]\r"
    "x=y";

TEST(IniRead, Strings) {
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* defaultValue;
    unsigned size;
    std::string expected;
  } cases[] = {
      {"plain", "配置", "Hi", "d", 260, "1"},
      {"case_and_blanks_ignored", " 配置 ", "UP", "d", 260, "0"},
      {"quotes_removed", "配置", "q1", "", 260, "quoted"},
      {"single_quotes_removed", "配置", "q2", "", 260, "single"},
      {"unmatched_quote_kept", "配置", "q3", "", 260, "\"half"},
      {"empty_value_is_not_default", "配置", "empty", "d", 260, ""},
      {"no_equals_gives_default", "配置", "noequals", "d", 260, "d"},
      {"missing_key_default_loses_trailing_blanks", "配置", "none", "def  ", 260, "def"},
      {"missing_section", "Other", "Hi", "d", 260, "d"},
      {"cut_to_size_minus_one", "配置", "long", "", 5, "abcd"},
      {"size_one_gives_empty", "配置", "long", "", 1, ""},
      {"size_zero_gives_empty", "配置", "long", "", 0, ""},
      {"default_cut_too", "配置", "none", "default", 4, "def"},
      {"never_half_a_character", "配置", "cn", "", 4, "中"},
      {"whole_characters_fit", "配置", "cn", "", 5, "中文"},
      {"semicolon_lines_are_keys", "配置", "; note", "", 260, "not a comment"},
      {"section_name_trimmed", "spaced", "a", "", 260, "1"},
      {"first_section_only", "配置", "late", "d", 260, "d"},
      {"keys_above_sections", "", "k0", "", 260, "before any section"},
      {"cr_only_line_ends", "last", "x", "", 260, "y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadString(kSample, c.section, c.key, c.defaultValue, c.size), c.expected);
  }
}

TEST(IniRead, TrailBytesAreNotAsciiLetters) {
  // 0xB0 0x41 and 0xB0 0x61 are two different characters whose trail bytes are
  // "A" and "a"; folding case there would confuse them.
  const std::string content = "[s]\r\n\xB0\x41=upper\r\n\xB0\x61=lower\r\n";
  EXPECT_EQ(ReadString(content, "s", "\xB0\x61", "", 260), "lower");
  // "]" as a trail byte does not end the section name.
  EXPECT_EQ(ReadString("[\x81]]\r\nk=v\r\n", "\x81]", "k", "", 260), "v");
}

TEST(IniRead, Integers) {
  const struct {
    const char* value;
    int expected;
  } cases[] = {
      {"42", 42},        {"  42abc ", 42},
      {"007", 7},        {"-5", -5},
      {"+7", 7},         {"- 5", 0},
      {"abc", 0},        {"\"5\"", 5},
      {"0x10", 16},      {"-0x10", -16},
      {"0X1f", 0},       {"0b101", 5},
      {"0o17", 15},      {"2147483648", INT_MIN},
      {"4294967296", 0}, {"-2147483649", INT_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ReadInt(std::string("[s]\r\nk=") + c.value + "\r\n", "s", "k", 99), c.expected);
  }
  EXPECT_EQ(ReadInt("[s]\r\nk=\r\n", "s", "k", 99), 99);
  EXPECT_EQ(ReadInt("[s]\r\nk=\"\"\r\n", "s", "k", 99), 99);
  EXPECT_EQ(ReadInt("[s]\r\nk\r\n", "s", "k", -3), -3);
  EXPECT_EQ(ReadInt("", "s", "k", 1), 1);
}

TEST(IniWrite, EditsInPlace) {
  const struct {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"new_file", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
      {"new_section_at_end", "[A]\r\nk=v\r\n", "B", "k", "v", "[A]\r\nk=v\r\n[B]\r\nk=v\r\n"},
      {"new_section_after_unterminated_line", "[A]\nk=v", "B", "c", "3",
       "[A]\nk=v\r\n[B]\r\nc=3\r\n"},
      {"replace_keeps_other_lines_and_key_spelling", "; c\r\n[A]\r\n  k = old  \r\n\r\nx=1\n", "a",
       "K", "new", "; c\r\n[A]\r\nk=new\r\n\r\nx=1\n"},
      {"new_key_before_blank_lines", "[A]\r\nk=1\r\n\r\n[B]\r\ny=2", "A", "z", "9",
       "[A]\r\nk=1\r\nz=9\r\n\r\n[B]\r\ny=2"},
      {"new_key_in_last_unterminated_section", "[A]\r\nk=1", "A", "j", "2",
       "[A]\r\nk=1\r\nj=2\r\n"},
      {"value_bytes_as_given", "[A]\r\n", "A", "k", " spaced ", "[A]\r\nk= spaced \r\n"},
      {"empty_value", "", "A", "k", "", "[A]\r\nk=\r\n"},
      {"valueless_key_gets_value", "[A]\r\nk\r\n", "A", "k", "1", "[A]\r\nk=1\r\n"},
      {"first_of_duplicate_sections", "[A]\r\nk=1\r\n[A]\r\nk=2\r\n", "A", "k", "3",
       "[A]\r\nk=3\r\n[A]\r\nk=2\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WithValue(c.before, c.section, c.key, c.value), c.after);
  }
}

TEST(IniWrite, RefusesWhatWouldNotReadBack) {
  EXPECT_FALSE(WithValue("", "A", "k", "two\r\nlines"));
  EXPECT_FALSE(WithValue("", "A", "k=x", "v"));
  EXPECT_FALSE(WithValue("", "A]", "k", "v"));
  EXPECT_FALSE(WithValue("", "A\xE4", "k", "v"));   // "]" would be its second byte
  EXPECT_FALSE(WithValue("", "A\xE4 ", "k", "v"));  // the same once trimmed
  EXPECT_TRUE(WithValue("", "A\xE4\xE4", "k", "v"));
  EXPECT_FALSE(WithValue("", "", "k", "v"));
  EXPECT_FALSE(WithValue("", "A", " ", "v"));
}

struct ProfileFilesTest : ::testing::Test {
  testing_support::TempDir dir;
  platform::StdFileSystem files;
  platform::IniProfileFiles profiles{files};
};

TEST_F(ProfileFilesTest, WritesTheBytesTheWindowsFunctionsWrite) {
  // The same calls made through the Windows functions left exactly these bytes.
  const std::string path = dir / "fx.ini";
  ASSERT_TRUE(profiles.WriteString("配置", "Hi", "1", path));
  ASSERT_TRUE(profiles.WriteString("配置", "Tb", "0", path));
  ASSERT_TRUE(profiles.WriteString("X", "n", "616263", path));
  ASSERT_TRUE(profiles.WriteString("X", "i", "用户", path));
  ASSERT_TRUE(profiles.WriteString("配置", "Hp", "1", path));
  ASSERT_TRUE(profiles.WriteString("配置", "tb", "1", path));
  EXPECT_EQ(
      files.ReadFile(path),
      "[\xC5\xE4\xD6\xC3]\r\nHi=1\r\nTb=1\r\nHp=1\r\n[X]\r\nn=616263\r\ni=\xD3\xC3\xBB\xA7\r\n");
  EXPECT_EQ(profiles.GetInt("配置", "TB", 5, path), 1);
  EXPECT_EQ(profiles.GetString("x", "I", "", 260, path), "用户");
}

TEST_F(ProfileFilesTest, MissingFolderIsNotCreated) {
  const std::string path = dir / "Config/i.ini";
  EXPECT_FALSE(profiles.WriteString("A", "k", "v", path));
  EXPECT_FALSE(files.Exists(dir / "Config"));
  EXPECT_EQ(profiles.GetInt("A", "k", 7, path), 7);
  EXPECT_EQ(profiles.GetString("A", "k", "dflt", 260, path), "dflt");
}

TEST_F(ProfileFilesTest, LongValueComesBackCut) {
  const std::string path = dir / "t.ini";
  ASSERT_TRUE(profiles.WriteString("Settings", "k", std::string(300, 'x'), path));
  EXPECT_EQ(profiles.GetString("Settings", "k", "", 260, path), std::string(259, 'x'));
}

}  // namespace
