#include "tools/text_files.h"

#include <gtest/gtest.h>

#include "tool_test_support.h"

namespace {

using namespace std::string_literals;
using tools_test::Gbk;
using tools_test::ReadBytes;
using tools_test::TempDir;
using tools_test::WriteBytes;

std::string U8(const char* s) {
  return reinterpret_cast<const char*>(s);
}

TEST(IsValidUtf8, CountsContinuationBytesOnly) {
  struct Case {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain ascii\r\n", true},
      {U8(u8"中文"), true},
      {"\xD6\xD0\xCE\xC4", false},         // GBK 中文
      {"\xC0\x80", true},                  // overlong, not checked
      {"\xED\xA0\x80", true},              // a surrogate, not checked
      {"\xF8\x88\x80\x80\x80", true},      // five-byte form
      {"\xFC\x84\x80\x80\x80\x80", true},  // six-byte form
      {"\xFF\x80\x80\x80\x80", true},      // FF counts as a five-byte lead
      {"\x80", false},                     // continuation without a lead
      {"\xE4\xB8", false},                 // cut short
      {"\xE4\xB8\x41", false},             // lead followed by ASCII
      {"a\0b\0"s, true},                   // UTF-16 LE without mark
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tools::IsValidUtf8(c.bytes), c.valid) << testing::PrintToString(c.bytes);
  }
}

TEST(ReadTextAsUnicode, DetectsTheEncodingFromMarkOrContent) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string text;
    tools::TextEncodingCode code;
  } cases[] = {
      {"utf-16 le", "\xFF\xFE\x2D\x4E\x41\x00"s, u"中A", 1200},
      {"utf-16 be", "\xFE\xFF\x4E\x2D\x00\x41"s, u"中A", 1201},
      {"odd be keeps whole units", "\xFE\xFF\x00\x41\x00"s, u"A", 1201},
      {"utf-8 mark skipped", "\xEF\xBB\xBF" + U8(u8"中A"), u"中A", 65001},
      {"utf-8 mark alone", "\xEF\xBB\xBF", u"", 65001},
      {"utf-8 without mark", U8(u8"中A"), u"中A", 65001},
      {"ascii counts as utf-8", "plain", u"plain", 65001},
      {"gbk", "\xD6\xD0\x41", u"中A", 936},
      {"gbk that looks like utf-8", "\xD1\xA1", u"\u0461", 65001},
      {"utf-16 le without mark", "A\0B\0"s, u"A\0B\0"s, 65001},
      {"zero bytes kept", "a\0b"s, u"a\0b"s, 65001},
      {"empty", "", u"", 65001},
      // 练习: passes the shape test, but C1 leads only overlong forms.
      {"gbk in utf-8 shape", "\xC1\xB7\xCF\xB0\r\n", u"练习\r\n", 936},
  };
  for (const Case& c : cases) {
    tools::UnicodeText read = tools::DecodeAsUnicode(c.bytes);
    EXPECT_EQ(read.text, c.text) << c.name;
    EXPECT_EQ(read.code, c.code) << c.name;
    EXPECT_EQ(read.lossless, std::string(c.name) != "odd be keeps whole units") << c.name;
  }
  // Bytes that decoding would change are marked, and DetectLossless refuses them.
  for (std::string lossy : {"\xD6\xD0\x81\x20\xCE\xC4"s, "\xEF\xBB\xBF\xC0\x80"s,
                            "\xE4\xB8\xAD\xFF"s, "\xFF\xFE\x61\x00\x62"s}) {
    EXPECT_FALSE(tools::DecodeAsUnicode(lossy).lossless) << testing::PrintToString(lossy);
    EXPECT_FALSE(tools::DetectLossless(lossy)) << testing::PrintToString(lossy);
  }
}

TEST(ReadTextAsAnsi, ConvertsMarkedUnicodeWithItsMarkAndStopsAtZero) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
  } cases[] = {
      // U+FEFF has no GBK form and becomes the default character.
      {"utf-8 with mark", "\xEF\xBB\xBF" + U8(u8"中a") + "\0tail"s, "?" + Gbk(u8"中a")},
      {"utf-16 le with mark", "\xFF\xFE\x2D\x4E\x61\x00\x00\x00\x62\x00"s, "?" + Gbk(u8"中a")},
      {"utf-16 le odd byte dropped", "\xFF\xFE\x61\x00\x62"s, "?a"},
      {"utf-16 be taken as bytes", "\xFE\xFF\x00\x41"s, "\xFE\xFF"},
      {"gbk as is", "\xD6\xD0x\0y"s, "\xD6\xD0x"},
  };
  for (const Case& c : cases) EXPECT_EQ(tools::DecodeAsAnsi(c.bytes), c.text) << c.name;

  TempDir dir;
  platform::StdFileSystem files;
  EXPECT_EQ(tools::ReadTextAsAnsi(files, dir / "missing"), "");
}

TEST(ReadTextRaw, BytesUpToTheFirstZeroOrFailure) {
  TempDir dir;
  WriteBytes(dir / "a.html", "\xFF\xFEurl\0rest"s);
  platform::StdFileSystem files;
  EXPECT_EQ(tools::ReadTextRaw(files, dir / "a.html"), std::optional<std::string>("\xFF\xFEurl"));
  EXPECT_EQ(tools::ReadTextRaw(files, dir / "missing"), std::nullopt);
}

TEST(WriteTextEncoded, WritesBackTheMarkAndTheBytesOfEachCode) {
  struct Case {
    const char* name;
    std::string read;
    std::string written;
  } cases[] = {
      {"utf-16 le", "\xFF\xFE\x2D\x4E\x41\x00"s, "\xFF\xFE\x2D\x4E\x41\x00"s},
      {"utf-16 be", "\xFE\xFF\x4E\x2D\x00\x41"s, "\xFE\xFF\x4E\x2D\x00\x41"s},
      {"odd be loses its last byte", "\xFE\xFF\x00\x41\x00"s, "\xFE\xFF\x00\x41"s},
      {"utf-8 keeps mark", "\xEF\xBB\xBF" + U8(u8"中"), "\xEF\xBB\xBF" + U8(u8"中")},
      {"ascii gains the utf-8 mark", "plain", "\xEF\xBB\xBFplain"},
      {"gbk stays gbk", "\xD6\xD0\x41\r\n", "\xD6\xD0\x41\r\n"},
  };
  TempDir dir;
  platform::StdFileSystem files;
  for (const Case& c : cases) {
    std::string path = dir / "f.txt";
    WriteBytes(path, c.read);
    std::optional<tools::UnicodeText> read = tools::ReadTextAsUnicode(files, path);
    ASSERT_TRUE(read) << c.name;
    ASSERT_TRUE(tools::WriteTextEncoded(files, path, read->text, read->code)) << c.name;
    EXPECT_EQ(ReadBytes(path), c.written) << c.name;
  }
  EXPECT_FALSE(tools::ReadTextAsUnicode(files, dir / "missing"));
  EXPECT_FALSE(tools::WriteTextEncoded(files, dir / "no/such/folder/f.txt", u"x", 936));
}

}  // namespace
