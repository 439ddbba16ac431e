#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Valid {
  const char* name;
  std::string gbk;
  std::u16string utf16;
  std::string utf8;
};

// Narrow literals are GBK bytes at run time; u8 literals stay UTF-8.
const Valid kValid[] = {
    {"ascii", "abc 09~\x7F", u"abc 09~\x7F", "abc 09~\x7F"},
    {"chinese", "中文", u"中文", u8"中文"},
    {"first_code", "\x81\x40", u"\u4E02", "\xE4\xB8\x82"},
    {"euro_single_byte", "\x80", u"\u20AC", "\xE2\x82\xAC"},
    {"ff_private_use", "\xFF", u"\uF8F5", "\xEF\xA3\xB5"},
    {"user_area_1", "\xAA\xA1", u"\uE000", "\xEE\x80\x80"},
    {"user_area_2_end", "\xFE\xFE", u"\uE4C5", "\xEE\x93\x85"},
    {"user_area_3", "\xA1\x40", u"\uE4C6", "\xEE\x93\x86"},
    {"gap_d7fa", "\xD7\xFA", u"\uE810", "\xEE\xA0\x90"},
    {"middle_dot", "\xA1\xA4", u"\u00B7", "\xC2\xB7"},
    {"trail_0x80", "\x81\x80", u"\u4E90", "\xE4\xBA\x90"},
    {"embedded_zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
};

TEST(TextCodec, ValidTextConvertsAllWays) {
  for (const Valid& c : kValid) {
    SCOPED_TRACE(c.name);
    bool ok = false;
    EXPECT_EQ(text::GbkToUtf16(c.gbk, &ok), c.utf16);
    EXPECT_TRUE(ok);
    bool defaulted = true;
    EXPECT_EQ(text::Utf16ToGbk(c.utf16, &defaulted), c.gbk);
    EXPECT_FALSE(defaulted);
    EXPECT_EQ(text::Utf16ToUtf8(c.utf16), c.utf8);
    ok = false;
    EXPECT_EQ(text::Utf8ToUtf16(c.utf8, &ok), c.utf16);
    EXPECT_TRUE(ok);
    EXPECT_EQ(text::GbkToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(text::Utf8ToGbk(c.utf8), c.gbk);
  }
}

TEST(TextCodec, EveryDoubleByteCodeRoundTrips) {
  int count = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
      bool ok = false;
      const std::u16string unit = text::GbkToUtf16(gbk, &ok);
      ASSERT_TRUE(ok && unit.size() == 1 && unit[0] != u'?') << lead << " " << trail;
      ASSERT_EQ(text::Utf16ToGbk(unit), gbk) << lead << " " << trail;
      ++count;
    }
  }
  EXPECT_EQ(count, 23940);
}

TEST(TextCodec, UndecodableGbkBecomesQuestionMarks) {
  const struct {
    const char* name;
    std::string gbk;
    std::u16string utf16;
  } cases[] = {
      {"lead_at_end", "A\x81", u"A?"},
      {"lead_takes_invalid_trail",
       "\x81\x20"
       "B",
       u"?B"},
      {"lead_takes_7f",
       "\x81\x7F"
       "B",
       u"?B"},
      {"lead_takes_ff",
       "\xA1\xFF"
       "B",
       u"?B"},
      {"lead_before_zero", std::string("\x81\0B", 3), std::u16string(u"?\0B", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = true;
    EXPECT_EQ(text::GbkToUtf16(c.gbk, &ok), c.utf16);
    EXPECT_FALSE(ok);
  }
}

TEST(TextCodec, UnmappableUtf16UsesDefaultCharacter) {
  const struct {
    const char* name;
    std::u16string utf16;
    std::string gbk;
    bool defaulted;
  } cases[] = {
      {"katakana_dot", u"a\u30FBb", "a?b", true},
      {"surrogate_pair", u"\U0001F600", "??", true},
      {"lone_high",
       u"\xD800"
       u"a",
       "?a", true},
      {"lone_low", u"a\xDC00", "a?", true},
      // Characters without a code of their own go to a similar one, as Windows does.
      {"best_fit_cent", u"\u00A2", "\xA1\xE9", false},
      {"best_fit_broken_bar", u"\u00A6", "|", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool defaulted = !c.defaulted;
    EXPECT_EQ(text::Utf16ToGbk(c.utf16, &defaulted), c.gbk);
    EXPECT_EQ(defaulted, c.defaulted);
  }
  EXPECT_EQ(text::Utf8ToGbk("\xF0\x9F\x98\x80"
                            "x"),
            "??x");
}

TEST(TextCodec, IllFormedUtf8BecomesReplacementCharacters) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"bad_trail", "\xC3(", u"\uFFFD("},
      {"short_three_byte", "\xE2\x82(", u"\uFFFD("},
      {"cut_at_end", "\xF0\x9F\x98", u"\uFFFD"},
      {"cut_then_plain",
       "\xE2"
       "A",
       u"\uFFFD"
       "A"},
      {"stray_continuations", "\x80\x80", u"\uFFFD\uFFFD"},
      {"overlong_two_byte", "\xC0\x80", u"\uFFFD\uFFFD"},
      {"overlong_three_byte", "\xE0\x80\x80", u"\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD"},
      {"above_10ffff", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"f5_lead", "\xF5\x80", u"\uFFFD\uFFFD"},
      {"ff_byte",
       "\xFF"
       "A",
       u"\uFFFD"
       "A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bool ok = true;
    EXPECT_EQ(text::Utf8ToUtf16(c.utf8, &ok), c.utf16);
    EXPECT_FALSE(ok);
  }
  EXPECT_EQ(text::Utf8ToUtf16("\xEF\xBB\xBF"
                              "A"),
            u"\uFEFF"
            "A");
  EXPECT_EQ(text::Utf8ToGbk("\xC3(\xE4\xB8\xAD"), "?(中");
}

TEST(TextCodec, LoneSurrogatesBecomeReplacementInUtf8) {
  EXPECT_EQ(text::Utf16ToUtf8(u"\xD800"
                              u"A"),
            "\xEF\xBF\xBD"
            "A");
  EXPECT_EQ(text::Utf16ToUtf8(u"\xDE00\xD83D"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextCodec, LeadBytes) {
  EXPECT_FALSE(text::IsGbkLeadByte(0x80));
  EXPECT_TRUE(text::IsGbkLeadByte(0x81));
  EXPECT_TRUE(text::IsGbkLeadByte(0xFE));
  EXPECT_FALSE(text::IsGbkLeadByte(0xFF));
}

}  // namespace
