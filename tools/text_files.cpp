#include "tools/text_files.h"

#include "platform/text_codec.h"

namespace tools {

std::u16string Utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < units.size(); ++i) {
    unsigned hi = b[2 * i + (bigEndian ? 0 : 1)];
    unsigned lo = b[2 * i + (bigEndian ? 1 : 0)];
    units[i] = static_cast<char16_t>(hi << 8 | lo);
  }
  return units;
}

namespace {

void AppendUtf16Bytes(std::string& out, std::u16string_view text, bool bigEndian) {
  std::size_t at = out.size();
  out.resize(at + text.size() * 2);
  for (char16_t unit : text) {
    char hi = static_cast<char>(unit >> 8);
    char lo = static_cast<char>(unit & 0xFF);
    out[at++] = bigEndian ? hi : lo;
    out[at++] = bigEndian ? lo : hi;
  }
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.size() >= mark.size() && bytes.substr(0, mark.size()) == mark;
}

std::string_view UpToZero(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

constexpr std::string_view kMarkLe("\xFF\xFE", 2);
constexpr std::string_view kMarkBe("\xFE\xFF", 2);
constexpr std::string_view kMarkUtf8("\xEF\xBB\xBF", 3);

}  // namespace

bool IsValidUtf8(const unsigned char* bytes, std::size_t length) {
  int pending = 0;
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char b = bytes[i];
    if (pending > 0) {
      if ((b & 0xC0) != 0x80) return false;
      --pending;
    } else if (b < 0x80) {
      continue;
    } else if (b >= 0xFC && b <= 0xFD) {
      pending = 5;
    } else if (b >= 0xF8) {  // F8..FB, FE and FF
      pending = 4;
    } else if (b >= 0xF0) {
      pending = 3;
    } else if (b >= 0xE0) {
      pending = 2;
    } else if (b >= 0xC0) {
      pending = 1;
    } else {
      return false;  // a continuation byte where none is expected
    }
  }
  return pending == 0;
}

std::string DecodeAsAnsi(std::string_view bytes) {
  if (StartsWith(bytes, kMarkLe)) {
    // The mark is converted with the text, like any other character.
    std::u16string units = Utf16FromBytes(bytes, false);
    std::size_t zero = units.find(u'\0');
    if (zero != std::u16string::npos) units.resize(zero);
    return text::Utf16ToGbk(units);
  }
  if (StartsWith(bytes, kMarkUtf8)) {
    return text::Utf16ToGbk(text::Utf8ToUtf16(UpToZero(bytes)));
  }
  return std::string(UpToZero(bytes));
}

std::string ReadTextAsAnsi(platform::FileSystem& files, const std::string& path) {
  std::optional<std::string> bytes = files.ReadFile(path);
  return bytes ? DecodeAsAnsi(*bytes) : std::string();
}

namespace {

// The decoding by marks and the shape test alone, for bytes that do not survive.
UnicodeText DecodeByShape(std::string_view bytes) {
  if (StartsWith(bytes, kMarkLe)) return {Utf16FromBytes(bytes.substr(2), false), kUtf16Le};
  if (StartsWith(bytes, kMarkBe)) return {Utf16FromBytes(bytes.substr(2), true), kUtf16Be};
  if (bytes.size() > 3 && StartsWith(bytes, kMarkUtf8)) {
    return {text::Utf8ToUtf16(bytes.substr(3)), kUtf8};
  }
  if (bytes.size() == 3 && StartsWith(bytes, kMarkUtf8)) return {u"", kUtf8};
  if (IsValidUtf8(bytes)) return {text::Utf8ToUtf16(bytes), kUtf8};
  return {text::GbkToUtf16(bytes), kGbk};
}

}  // namespace

std::optional<TextLayout> DetectLossless(std::string_view bytes) {
  if (StartsWith(bytes, kMarkLe) || StartsWith(bytes, kMarkBe)) {
    if (bytes.size() % 2 != 0) return std::nullopt;  // the odd byte would be lost
    return TextLayout{StartsWith(bytes, kMarkLe) ? kUtf16Le : kUtf16Be, 2};
  }
  if (StartsWith(bytes, kMarkUtf8)) {
    if (!text::IsWellFormedUtf8(bytes.substr(3))) return std::nullopt;
    return TextLayout{kUtf8, 3};
  }
  if (text::IsWellFormedUtf8(bytes)) return TextLayout{kUtf8, 0};
  if (text::GbkRoundTrips(bytes)) return TextLayout{kGbk, 0};
  return std::nullopt;
}

UnicodeText DecodeAsUnicode(std::string_view bytes) {
  if (std::optional<TextLayout> layout = DetectLossless(bytes)) {
    std::string_view body = bytes.substr(layout->markLength);
    switch (layout->code) {
      case kUtf16Le:
      case kUtf16Be:
        return {Utf16FromBytes(body, layout->code == kUtf16Be), layout->code};
      case kUtf8:
        return {text::Utf8ToUtf16(body), kUtf8};
      default:
        return {text::GbkToUtf16(body), kGbk};
    }
  }
  UnicodeText lossy = DecodeByShape(bytes);
  lossy.lossless = false;
  return lossy;
}

std::optional<UnicodeText> ReadTextAsUnicode(platform::FileSystem& files, const std::string& path) {
  std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return std::nullopt;
  return DecodeAsUnicode(*bytes);
}

std::optional<std::string> ReadTextRaw(platform::FileSystem& files, const std::string& path) {
  std::optional<std::string> bytes = files.ReadFile(path);
  if (bytes) {
    std::size_t zero = bytes->find('\0');
    if (zero != std::string::npos) bytes->resize(zero);
  }
  return bytes;
}

std::string EncodeText(std::u16string_view text, TextEncodingCode code) {
  std::string out;
  switch (code) {
    case kUtf16Le:
      out.reserve(2 + text.size() * 2);
      out.append(kMarkLe);
      AppendUtf16Bytes(out, text, false);
      break;
    case kUtf16Be:
      out.reserve(2 + text.size() * 2);
      out.append(kMarkBe);
      AppendUtf16Bytes(out, text, true);
      break;
    case kUtf8:
      out = std::string(kMarkUtf8) + text::Utf16ToUtf8(text);
      break;
    default:  // only the four codes are ever read; anything else is stored as GBK
      out = text::Utf16ToGbk(text);
      break;
  }
  return out;
}

bool WriteTextEncoded(platform::FileSystem& files, const std::string& path,
                      std::u16string_view text, TextEncodingCode code) {
  return files.RewriteFile(path, EncodeText(text, code));
}

}  // namespace tools
