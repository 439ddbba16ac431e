#include "platform/text_codec.h"

#include <cstdint>
#include <cstring>
#include <memory>

// Table-driven, so that every target converts alike whatever the machine's locale.
//
// Undecodable GBK, as the Windows conversion (without flags) treats it:
//  - a lead byte (0x81..0xFE) at the end of the input becomes '?';
//  - a lead byte before a 0 byte becomes '?', and the 0 byte stays a character of its own;
//  - a lead byte before any other byte that does not complete a character takes that byte
//    with it: the pair becomes one '?';
//  - 0x80 is U+20AC and 0xFF is U+F8F5: both are characters, not errors.
// UTF-8 without flags: each ill-formed sequence becomes one U+FFFD. A lead byte and the
// continuation bytes that could still belong to it go together; an overlong, surrogate or
// out-of-range start ends the sequence after its second byte. One deliberate difference
// from the Windows loader we compared with: a sequence cut short by the end of the input
// swallows only its own continuation bytes, never a plain character that follows.
namespace text {

namespace {

struct GbkBestFit {
  std::uint16_t unicode;
  std::uint16_t code;
};

#include "platform/gbk_table.inc"

constexpr char16_t kQuestionMark = u'?';
constexpr char16_t kReplacement = 0xFFFD;
constexpr std::uint16_t kNoCode = 0xFFFF;

int TrailIndex(unsigned char trail) {
  if (trail >= 0x40 && trail <= 0x7E) return trail - 0x40;
  if (trail >= 0x80 && trail <= 0xFE) return trail - 0x41;
  return -1;
}

// UTF-16 unit -> GBK code (a byte below 0x100, else lead << 8 | trail), kNoCode if none.
const std::uint16_t* EncodeTable() {
  static const std::unique_ptr<std::uint16_t[]> table = [] {
    auto t = std::make_unique<std::uint16_t[]>(0x10000);
    for (int i = 0; i < 0x10000; ++i) t[i] = kNoCode;
    for (int b = 0; b < 0x80; ++b) t[b] = static_cast<std::uint16_t>(b);
    for (const GbkBestFit& fit : kGbkBestFit) t[fit.unicode] = fit.code;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const int index = TrailIndex(static_cast<unsigned char>(trail));
        if (index < 0) continue;
        t[kGbkDoubleByte[(lead - 0x81) * 190 + index]] =
            static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
    t[0x20AC] = 0x80;
    t[0xF8F5] = 0xFF;
    return t;
  }();
  return table.get();
}

// Calls sink(unit) for each UTF-16 unit of the GBK text; false when something was undecodable.
template <typename Sink>
bool DecodeGbk(std::string_view gbk, Sink&& sink) {
  bool valid = true;
  const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
  const auto* end = p + gbk.size();
  while (p < end) {
    const unsigned char b = *p++;
    if (b < 0x80) {
      sink(static_cast<char16_t>(b));
    } else if (b == 0x80) {
      sink(static_cast<char16_t>(0x20AC));
    } else if (b == 0xFF) {
      sink(static_cast<char16_t>(0xF8F5));
    } else if (p == end || *p == 0) {
      sink(kQuestionMark);
      valid = false;
    } else {
      const int index = TrailIndex(*p++);
      if (index < 0) {
        sink(kQuestionMark);
        valid = false;
      } else {
        sink(kGbkDoubleByte[(b - 0x81) * 190 + index]);
      }
    }
  }
  return valid;
}

// Length of the sequence a UTF-8 lead byte starts (continuation bytes that follow it),
// or -1 when the byte cannot start one.
int Utf8Followers(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return 1;
  if (b >= 0xE0 && b <= 0xEF) return 2;
  if (b >= 0xF0 && b <= 0xF4) return 3;
  return -1;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Calls sink(codePoint) for each decoded character; U+FFFD for each ill-formed sequence.
template <typename Sink>
bool DecodeUtf8(std::string_view utf8, Sink&& sink) {
  bool valid = true;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const unsigned char lead = *p++;
    if (lead < 0x80) {
      sink(static_cast<char32_t>(lead));
      continue;
    }
    const int followers = Utf8Followers(lead);
    if (followers < 0) {
      sink(static_cast<char32_t>(kReplacement));
      valid = false;
      continue;
    }
    char32_t value = lead & (0x3F >> followers);
    bool ok = true;
    for (int i = 0; i < followers; ++i) {
      if (p == end || !IsContinuation(*p)) {
        ok = false;
        break;
      }
      value = value << 6 | (*p++ & 0x3F);
      if (i == 0) {
        // The second byte already tells an overlong form, a surrogate or a value past
        // U+10FFFF; the sequence ends there.
        const bool bad = (followers == 2 && (value < 0x20 || (value >= 0x360 && value < 0x380))) ||
                         (followers == 3 && (value < 0x10 || value >= 0x110));
        if (bad) {
          ok = false;
          break;
        }
      }
    }
    if (ok) {
      sink(value);
    } else {
      sink(static_cast<char32_t>(kReplacement));
      valid = false;
    }
  }
  return valid;
}

// Calls sink(codePoint) for each character; lone surrogates come out as U+FFFD.
template <typename Sink>
void DecodeUtf16(std::u16string_view utf16, Sink&& sink) {
  const char16_t* p = utf16.data();
  const char16_t* end = p + utf16.size();
  while (p < end) {
    const char16_t unit = *p++;
    if (unit >= 0xD800 && unit <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
      sink(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (*p++ - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      sink(static_cast<char32_t>(kReplacement));
    } else {
      sink(static_cast<char32_t>(unit));
    }
  }
}

char* PutUtf8(char* out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | c >> 6);
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | c >> 12);
    *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | c >> 18);
    *out++ = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

char16_t* PutUtf16(char16_t* out, char32_t c) {
  if (c < 0x10000) {
    *out++ = static_cast<char16_t>(c);
  } else {
    *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  return out;
}

// Writes the GBK bytes of one UTF-16 unit; '?' when GBK has none.
char* PutGbk(char* out, const std::uint16_t* table, char16_t unit, bool& usedDefault) {
  // Surrogates never have a code: each half of a pair becomes its own '?'.
  const std::uint16_t code = table[unit];
  if (code == kNoCode) {
    *out++ = '?';
    usedDefault = true;
  } else if (code < 0x100) {
    *out++ = static_cast<char>(code);
  } else {
    *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
  }
  return out;
}

}  // namespace

bool IsGbkLeadByte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}

bool IsWellFormedUtf8(std::string_view utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    // Text is mostly ASCII: eight bytes at a time while no high bit is set.
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if (word & 0x8080808080808080u) break;
      p += 8;
    }
    if (p == end) break;
    if (*p < 0x80) {
      ++p;
      continue;
    }
    const int followers = Utf8Followers(*p);
    if (followers < 0 || end - p <= followers) return false;
    const unsigned char second = p[1];
    if (!IsContinuation(second)) return false;
    // Overlong forms, surrogates and values past U+10FFFF show in the second byte.
    if ((*p == 0xE0 && second < 0xA0) || (*p == 0xED && second >= 0xA0) ||
        (*p == 0xF0 && second < 0x90) || (*p == 0xF4 && second >= 0x90)) {
      return false;
    }
    for (int i = 2; i <= followers; ++i) {
      if (!IsContinuation(p[i])) return false;
    }
    p += followers + 1;
  }
  return true;
}

bool GbkRoundTrips(std::string_view gbk) {
  const std::uint16_t* table = EncodeTable();
  const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
  const auto* end = p + gbk.size();
  while (p < end) {
    const unsigned char b = *p++;
    if (b < 0x80 || b == 0x80 || b == 0xFF) continue;  // one byte, one character each way
    if (p == end) return false;
    const int index = TrailIndex(*p);
    if (index < 0) return false;
    const char16_t unit = kGbkDoubleByte[(b - 0x81) * 190 + index];
    if (table[unit] != (b << 8 | *p)) return false;
    ++p;
  }
  return true;
}

std::u16string GbkToUtf16(std::string_view gbk, bool* valid) {
  std::u16string result(gbk.size(), u'\0');
  char16_t* out = result.data();
  const bool ok = DecodeGbk(gbk, [&out](char16_t unit) { *out++ = unit; });
  result.resize(static_cast<std::size_t>(out - result.data()));
  if (valid) *valid = ok;
  return result;
}

std::string Utf16ToGbk(std::u16string_view utf16, bool* usedDefault) {
  const std::uint16_t* table = EncodeTable();
  std::string result(utf16.size() * 2, '\0');
  char* out = result.data();
  bool defaulted = false;
  for (char16_t unit : utf16) out = PutGbk(out, table, unit, defaulted);
  result.resize(static_cast<std::size_t>(out - result.data()));
  if (usedDefault) *usedDefault = defaulted;
  return result;
}

std::u16string Utf8ToUtf16(std::string_view utf8, bool* valid) {
  // Never more units than bytes: a four-byte sequence gives two units.
  std::u16string result(utf8.size(), u'\0');
  char16_t* out = result.data();
  const bool ok = DecodeUtf8(utf8, [&out](char32_t c) { out = PutUtf16(out, c); });
  result.resize(static_cast<std::size_t>(out - result.data()));
  if (valid) *valid = ok;
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string result(utf16.size() * 3, '\0');
  char* out = result.data();
  DecodeUtf16(utf16, [&out](char32_t c) { out = PutUtf8(out, c); });
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

std::string GbkToUtf8(std::string_view gbk) {
  // One GBK byte gives at most three UTF-8 bytes (0x80 and 0xFF); two give at most three.
  std::string result(gbk.size() * 3, '\0');
  char* out = result.data();
  DecodeGbk(gbk, [&out](char16_t unit) { out = PutUtf8(out, unit); });
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

std::string Utf8ToGbk(std::string_view utf8) {
  const std::uint16_t* table = EncodeTable();
  std::string result(utf8.size() * 2, '\0');
  char* out = result.data();
  bool defaulted = false;
  DecodeUtf8(utf8, [&](char32_t c) {
    if (c < 0x10000) {
      out = PutGbk(out, table, static_cast<char16_t>(c), defaulted);
    } else {
      // Both halves of the surrogate pair become '?', as with the UTF-16 text.
      *out++ = '?';
      *out++ = '?';
    }
  });
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

}  // namespace text
