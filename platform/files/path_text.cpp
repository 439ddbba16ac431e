#include "platform/files/path_text.h"

#include "platform/text_codec.h"

namespace platform {
namespace {

constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLowTrail = 0x7F;   // stands for bytes 0x80..0xBF
constexpr unsigned char kHighTrail = 0xFF;  // stands for bytes 0xC0..0xFF

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

void PutByte(std::string& out, unsigned char b) {
  out += static_cast<char>(kFirstLead + (b & 0x3F));
  out += static_cast<char>(b < 0xC0 ? kLowTrail : kHighTrail);
}

// Bytes of the well-formed UTF-8 character at the start, or 0.
std::size_t CharacterLength(std::string_view s) {
  const unsigned char b = static_cast<unsigned char>(s[0]);
  const std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
  if (n == 0 || n > s.size() || !text::IsWellFormedUtf8(s.substr(0, n))) return 0;
  return n;
}

// GBK of a UTF-8 text when GBK gives back exactly that text.
bool ToGbk(std::string_view utf8, std::string& gbk) {
  bool valid = false;
  const std::u16string wide = text::Utf8ToUtf16(utf8, &valid);
  if (!valid) return false;
  bool defaulted = false;
  gbk = text::Utf16ToGbk(wide, &defaulted);
  // Best-fit forms ("a" for "â") decode to something else.
  return !defaulted && text::GbkToUtf16(gbk) == wide;
}

}  // namespace

std::string PathTextFromUtf8(std::string_view utf8) {
  std::string gbk;
  if (IsAscii(utf8)) return std::string(utf8);
  if (ToGbk(utf8, gbk)) return gbk;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t n = CharacterLength(utf8.substr(i));
    if (n == 1) {
      out += utf8[i];
    } else if (n > 1 && ToGbk(utf8.substr(i, n), gbk)) {
      out += gbk;
    } else {
      for (std::size_t k = 0; k < (n == 0 ? 1 : n); ++k) {
        PutByte(out, static_cast<unsigned char>(utf8[i + k]));
      }
    }
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string Utf8FromPathText(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::string out;
  std::size_t plain = 0;  // start of the GBK run not yet converted
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (!text::IsGbkLeadByte(b) || i + 1 == text.size()) {
      ++i;
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(text[i + 1]);
    if ((trail == kLowTrail || trail == kHighTrail) && b < kFirstLead + 0x40) {
      out += text::GbkToUtf8(text.substr(plain, i - plain));
      out += static_cast<char>((trail == kLowTrail ? 0x80 : 0xC0) | (b - kFirstLead));
      plain = i + 2;
    }
    i += 2;
  }
  out += text::GbkToUtf8(text.substr(plain));
  return out;
}

}  // namespace platform
