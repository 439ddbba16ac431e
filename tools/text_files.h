#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tools {

// The code page a file was read in and is written back in; shown to the user as is.
using TextEncodingCode = std::int32_t;
inline constexpr TextEncodingCode kUtf16Le = 1200;
inline constexpr TextEncodingCode kUtf16Be = 1201;
inline constexpr TextEncodingCode kUtf8 = 65001;
inline constexpr TextEncodingCode kGbk = 936;

struct UnicodeText {
  std::u16string text;
  TextEncodingCode code = kGbk;
  // False when writing the text back in its code would not give the file's
  // bytes again (bad sequences replaced, an odd UTF-16 byte dropped).
  bool lossless = true;
};

// The code of a file's bytes and the length of its mark, for bytes that come
// back unchanged when decoded and encoded again; nullopt for any other file,
// which a rewrite would damage. Without a mark, strict UTF-8 is 65001 and
// otherwise GBK that survives the round trip is 936, so GBK whose bytes only
// look like UTF-8 sequences is still read as GBK.
struct TextLayout {
  TextEncodingCode code = kGbk;
  std::size_t markLength = 0;
};
std::optional<TextLayout> DetectLossless(std::string_view bytes);
inline constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF", 3);

// UTF-16 code units from bytes, little- or big-endian; an odd last byte is left out.
std::u16string Utf16FromBytes(std::string_view bytes, bool bigEndian);

// The lead-byte counting test the replace tool uses to tell UTF-8 from GBK. It
// checks only the shape of the sequences (no overlong or range checks), so pure
// ASCII counts as UTF-8.
bool IsValidUtf8(const unsigned char* bytes, std::size_t length);
inline bool IsValidUtf8(std::string_view bytes) {
  return IsValidUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// GBK text of a file: UTF-16 LE (mark FF FE) and UTF-8 (mark EF BB BF) are
// converted, mark included; anything else is taken as GBK. Stops at the first
// 0 byte or unit. Empty when the file cannot be read.
std::string ReadTextAsAnsi(platform::FileSystem& files, const std::string& path);
// Decodes the raw bytes of ReadTextAsAnsi (exposed for callers that already hold them).
std::string DecodeAsAnsi(std::string_view bytes);

// Wide text of a file and the code it was read in; nullopt when it cannot be read.
// A file DetectLossless refuses is decoded as best it can and marked lossy.
std::optional<UnicodeText> ReadTextAsUnicode(platform::FileSystem& files, const std::string& path);
UnicodeText DecodeAsUnicode(std::string_view bytes);

// The file's bytes up to the first 0 byte; nullopt when it cannot be read.
std::optional<std::string> ReadTextRaw(platform::FileSystem& files, const std::string& path);

// The bytes WriteTextEncoded stores: the code's mark, then the text in that code.
std::string EncodeText(std::u16string_view text, TextEncodingCode code);
// Replaces the file as a whole: a failed write leaves the old bytes in place.
bool WriteTextEncoded(platform::FileSystem& files, const std::string& path,
                      std::u16string_view text, TextEncodingCode code);

}  // namespace tools
