#pragma once
#include <string>
#include <string_view>

// The program holds paths as GBK text. A name the system holds but GBK cannot
// spell (a character GBK lacks, a byte that is not UTF-8) keeps its own bytes:
// each UTF-8 byte from 0x80 up of such a character travels as a pair that is
// no GBK character (a lead byte with 0x7F or 0xFF after it), so the path still
// leads to the file it came from, and shows as one "?" a pair.
namespace platform {

// The path text of a name in UTF-8 as the system gives it (on Windows, UTF-16
// turned into UTF-8 with lone surrogates kept as three-byte forms).
std::string PathTextFromUtf8(std::string_view utf8);
// Back to the system's bytes; GBK characters become UTF-8.
std::string Utf8FromPathText(std::string_view text);

}  // namespace platform
