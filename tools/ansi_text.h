#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Byte-string helpers for GBK text that respect its two-byte characters: a
// match never starts on the second byte of a character, and only single-byte
// letters change case.
namespace tools {

inline constexpr std::size_t kNotFound = std::string_view::npos;

// Bytes of the character that starts at `at` (1 or 2).
std::size_t AnsiCharLength(std::string_view text, std::size_t at);

// First match of `needle` at a character boundary at or after `from`, which
// must itself be a boundary. An empty needle is found at `from`.
std::size_t FindAnsi(std::string_view text, std::string_view needle, std::size_t from = 0);

std::string LowerAnsi(std::string_view text);
bool EqualsNoCaseAnsi(std::string_view a, std::string_view b);

// The last element of a path or URL: the text after the last "\", "/" or ":"
// that is followed by a character other than "\" or "/" (so "a/b/" gives "b/").
std::string_view PathFindFileName(std::string_view path);

// The file name of a path: the text after its last "\" or "/".
std::string_view FileNameOf(std::string_view path);
// The name up to its last "." (the whole name when it has none).
std::string_view CutAtLastDot(std::string_view name);

}  // namespace tools
