// Our codec against the system's own code-page conversion, case by case.
#include <gtest/gtest.h>
#include "platform/windows/win32.h"

#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace {

constexpr UINT kGbk = 936;

std::u16string SystemDecode(UINT codePage, const std::string& bytes) {
  if (bytes.empty()) return {};
  const int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return std::u16string(out.begin(), out.end());
}

std::string SystemEncode(UINT codePage, const std::u16string& text, bool* usedDefault) {
  if (text.empty()) return {};
  const std::wstring wide(text.begin(), text.end());
  BOOL defaulted = FALSE;
  BOOL* flag = codePage == CP_UTF8 ? nullptr : &defaulted;
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, flag);
  if (usedDefault) *usedDefault = defaulted != FALSE;
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
    out += ' ';
  }
  return out;
}

TEST(CodecVsWindows, EverySingleByteAndBytePairDecodesAlike) {
  int mismatches = 0;
  auto check = [&](const std::string& bytes) {
    const std::u16string ours = text::GbkToUtf16(bytes);
    const std::u16string system = SystemDecode(kGbk, bytes);
    if (ours != system && ++mismatches <= 10) ADD_FAILURE() << "GBK " << Hex(bytes);
  };
  for (int b = 0; b < 256; ++b) check(std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0; trail < 256; ++trail) {
      check(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(CodecVsWindows, MixedAndBrokenGbkDecodesAlike) {
  const std::vector<std::string> cases = {
      "\xB9\xD8\xB1\xD5 Orvane",  // 关闭 Orvane
      "abc\x81",                  // lead byte at the end
      "\x81\x20z",                // lead byte before a space
      "\x80\xFF\xA1\xA1",         // euro, undefined single, full-width space
      "\xFE\x40\xFE\xFE\x81\x7F\x81\x80",
      std::string("\xD6\xD0\0\xCE\xC4", 5),  // an embedded zero byte
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(text::GbkToUtf16(bytes), SystemDecode(kGbk, bytes)) << Hex(bytes);
  }
}

TEST(CodecVsWindows, EveryUtf16UnitEncodesAlike) {
  int mismatches = 0;
  for (int unit = 1; unit < 0x10000; ++unit) {
    const std::u16string one(1, static_cast<char16_t>(unit));
    bool oursDefault = false;
    bool systemDefault = false;
    const std::string ours = text::Utf16ToGbk(one, &oursDefault);
    const std::string system = SystemEncode(kGbk, one, &systemDefault);
    if ((ours != system || oursDefault != systemDefault) && ++mismatches <= 10) {
      ADD_FAILURE() << "U+" << std::hex << unit << ": ours " << Hex(ours) << "system "
                    << Hex(system);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(CodecVsWindows, Utf8AgreesOnValidAndBrokenInput) {
  const std::vector<std::string> cases = {
      reinterpret_cast<const char*>(u8"关于 Orvane(&A)..."),
      "\xF0\x9F\x98\x80 emoji",  // a supplementary character
      "\xE4\xB8",                // cut short
      "\xC0\xAF",                // overlong
      "\xED\xA0\x80",            // an encoded surrogate
      "\xFF\x41",
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(text::Utf8ToUtf16(bytes), SystemDecode(CP_UTF8, bytes)) << Hex(bytes);
  }
  const std::u16string supplementary = u"\U0001F600 \u4E2D";
  EXPECT_EQ(text::Utf16ToUtf8(supplementary), SystemEncode(CP_UTF8, supplementary, nullptr));
}

}  // namespace
