#pragma once
#include <string>
#include <string_view>

// Conversions between the program's narrow text (GBK, Windows code page 936),
// UTF-16 and UTF-8. Results equal the Windows code-page conversion for valid
// input; the machine's locale plays no part.
namespace text {

// True for bytes 0x81..0xFE, which start a two-byte GBK character.
bool IsGbkLeadByte(unsigned char byte);

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF, nothing cut
// short. Exactly the texts that come back byte for byte through UTF-16.
bool IsWellFormedUtf8(std::string_view utf8);
// True when every character of the GBK text decodes and encodes back to its own
// bytes, so decoding and encoding again changes nothing.
bool GbkRoundTrips(std::string_view gbk);

// GBK to UTF-16. Undecodable bytes become U+003F ('?') the way Windows does
// without MB_ERR_INVALID_CHARS; `valid` (if given) is cleared when that happened.
std::u16string GbkToUtf16(std::string_view gbk, bool* valid = nullptr);
// UTF-16 to GBK; characters GBK cannot hold become the default character '?'
// and set `usedDefault` (if given).
std::string Utf16ToGbk(std::u16string_view utf16, bool* usedDefault = nullptr);

// UTF-8 to UTF-16; ill-formed sequences become U+FFFD and clear `valid`.
std::u16string Utf8ToUtf16(std::string_view utf8, bool* valid = nullptr);
std::string Utf16ToUtf8(std::u16string_view utf16);

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace text
