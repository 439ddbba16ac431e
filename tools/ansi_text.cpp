#include "tools/ansi_text.h"

#include "platform/text_codec.h"

namespace tools {
namespace {

bool IsAsciiUpper(unsigned char c) {
  return c >= 'A' && c <= 'Z';
}

}  // namespace

std::size_t AnsiCharLength(std::string_view text, std::size_t at) {
  return text::IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

std::size_t FindAnsi(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return kNotFound;
  if (needle.empty()) return from;
  std::size_t boundary = from;  // a known character start at or before the candidate
  for (;;) {
    std::size_t candidate = text.find(needle, boundary);
    if (candidate == kNotFound) return kNotFound;
    // A byte that cannot lead ends a character, so the lead-range bytes in front
    // of the candidate pair up from there: an even count puts it on a start.
    std::size_t leads = 0;
    while (candidate - leads > boundary &&
           text::IsGbkLeadByte(static_cast<unsigned char>(text[candidate - leads - 1]))) {
      ++leads;
    }
    if (leads % 2 == 0) return candidate;
    boundary = candidate + 1;  // the candidate began on a second byte
  }
}

std::string LowerAnsi(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    std::size_t n = AnsiCharLength(out, i);
    if (n == 1 && IsAsciiUpper(static_cast<unsigned char>(out[i]))) out[i] += 'a' - 'A';
    i += n;
  }
  return out;
}

bool EqualsNoCaseAnsi(std::string_view a, std::string_view b) {
  return a.size() == b.size() && LowerAnsi(a) == LowerAnsi(b);
}

std::string_view PathFindFileName(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += AnsiCharLength(path, i)) {
    char c = path[i];
    if ((c == '\\' || c == '/' || c == ':') && i + 1 < path.size() && path[i + 1] != '\\' &&
        path[i + 1] != '/') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

std::string_view FileNameOf(std::string_view path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); i += AnsiCharLength(path, i)) {
    if (path[i] == '\\' || path[i] == '/') start = i + 1;
  }
  return path.substr(start);
}

std::string_view CutAtLastDot(std::string_view name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

}  // namespace tools
