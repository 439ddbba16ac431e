#include "platform/ini_file.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/text_codec.h"

namespace platform::ini {

namespace {

// 0x1A is the old end-of-file mark; editors still leave it behind.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Trail bytes of double-byte characters include ASCII letters and "]", so every
// scan steps over whole characters.
std::size_t CharLength(std::string_view s, std::size_t i) {
  return text::IsGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t n = CharLength(a, i);
    if (n == 2) {
      if (a.substr(i, 2) != b.substr(i, 2)) return false;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
    i += n;
  }
  return true;
}

std::size_t FindChar(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t i = from; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == c) return i;
  }
  return std::string_view::npos;
}

enum class Kind { Blank, Section, Key };

struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;   // before the line break
  std::size_t next = 0;  // after the line break
  Kind kind = Kind::Blank;
  std::string_view name;                  // section or key, trimmed
  std::optional<std::string_view> value;  // trimmed; none for a key line without "="
};

Line ParseLine(std::string_view content, std::size_t begin, std::size_t end, std::size_t next) {
  Line line{begin, end, next};
  const std::string_view text = Trim(content.substr(begin, end - begin));
  if (text.empty()) return line;
  if (text.front() == '[') {
    const std::size_t close = FindChar(text, ']', 1);
    if (close != std::string_view::npos) {
      line.kind = Kind::Section;
      line.name = Trim(text.substr(1, close - 1));
      return line;
    }
  }
  line.kind = Kind::Key;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    line.name = text;
  } else {
    line.name = Trim(text.substr(0, equals));
    line.value = Trim(text.substr(equals + 1));
  }
  return line;
}

template <typename Visit>
void ForEachLine(std::string_view content, Visit visit) {
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = begin;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n') ++end;
    std::size_t next = end;
    if (next < content.size() && content[next] == '\r') ++next;
    if (next < content.size() && content[next] == '\n') ++next;
    visit(ParseLine(content, begin, end, next));
    begin = next;
  }
}

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  ForEachLine(content, [&](const Line& line) { lines.push_back(line); });
  return lines;
}

// Lines [first, last) of the first section with that name; first is the header
// (or 0 for the nameless section above every header). nullopt when there is none.
struct Range {
  std::size_t first;
  std::size_t last;
};

std::optional<Range> FindSection(const std::vector<Line>& lines, std::string_view section) {
  section = Trim(section);
  std::optional<std::size_t> start;
  if (section.empty()) start = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Kind::Section) continue;
    if (start) return Range{*start, i};
    if (SameName(lines[i].name, section)) start = i;
  }
  if (start) return Range{*start, lines.size()};
  return std::nullopt;
}

const Line* FindKey(const std::vector<Line>& lines, Range range, std::string_view key) {
  key = Trim(key);
  for (std::size_t i = range.first; i < range.last; ++i) {
    if (lines[i].kind == Kind::Key && SameName(lines[i].name, key)) return &lines[i];
  }
  return nullptr;
}

std::string_view StripQuotes(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

std::string_view CutToBuffer(std::string_view s, unsigned bufferSize) {
  if (bufferSize == 0) return {};
  const std::size_t limit = bufferSize - 1;
  if (s.size() <= limit) return s;
  std::size_t cut = 0;
  while (cut < s.size()) {
    const std::size_t n = CharLength(s, cut);
    if (cut + n > limit) break;
    cut += n;
  }
  return s.substr(0, cut);
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// A last byte that starts a double-byte character would pair with the "]" after it.
bool EndsInLoneLeadByte(std::string_view s) {
  std::size_t last = s.size();
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) last = i;
  return last + 1 == s.size() && text::IsGbkLeadByte(static_cast<unsigned char>(s[last]));
}

}  // namespace

Document::Document(std::string_view content) {
  sections_.push_back(Section{{}, 0, 0});
  ForEachLine(content, [&](const Line& line) {
    if (line.kind == Kind::Section) {
      sections_.back().lastKey = keys_.size();
      sections_.push_back(Section{line.name, keys_.size(), 0});
    } else if (line.kind == Kind::Key) {
      keys_.push_back(Key{line.name, line.value});
    }
  });
  sections_.back().lastKey = keys_.size();
}

std::optional<std::string_view> Document::FindValue(std::string_view section,
                                                    std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  // Only the first section of a name is ever seen; the nameless one is only
  // what stands above the first header.
  const Section* found = nullptr;
  if (section.empty()) {
    found = &sections_.front();
  } else {
    for (std::size_t i = 1; i < sections_.size() && !found; ++i) {
      if (SameName(sections_[i].name, section)) found = &sections_[i];
    }
  }
  if (!found) return std::nullopt;
  for (std::size_t i = found->firstKey; i < found->lastKey; ++i) {
    if (SameName(keys_[i].name, key)) return keys_[i].value;
  }
  return std::nullopt;
}

std::string Document::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, unsigned bufferSize) const {
  std::string_view chosen;
  if (const std::optional<std::string_view> value = FindValue(section, key)) {
    chosen = *value;
  } else {
    chosen = defaultValue;
    while (!chosen.empty() && chosen.back() == ' ') chosen.remove_suffix(1);
  }
  return std::string(CutToBuffer(StripQuotes(chosen), bufferSize));
}

int Document::ReadInt(std::string_view section, std::string_view key, int defaultValue) const {
  const std::string text = ReadString(section, key, {}, std::numeric_limits<unsigned>::max());
  return text.empty() ? defaultValue : ParseInt(text);
}

std::optional<std::string> FindValue(std::string_view content, std::string_view section,
                                     std::string_view key) {
  const std::optional<std::string_view> value = Document(content).FindValue(section, key);
  if (!value) return std::nullopt;
  return std::string(*value);
}

std::string ReadString(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view defaultValue, unsigned bufferSize) {
  return Document(content).ReadString(section, key, defaultValue, bufferSize);
}

int ReadInt(std::string_view content, std::string_view section, std::string_view key,
            int defaultValue) {
  return Document(content).ReadInt(section, key, defaultValue);
}

int ParseInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    const char prefix = text[i + 1];
    base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
    if (base != 10) i += 2;
  }
  std::uint32_t result = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'z') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'Z') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    result = result * base + digit;  // wraps, as the system's conversion does
  }
  if (negative) result = 0u - result;
  return static_cast<int>(result);
}

std::optional<std::string> WithValue(std::string_view content, std::string_view section,
                                     std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  // A line break would turn the value into lines of its own; "=" and "]" would move
  // the name's end. Such a write would not read back, so it is refused.
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value) || FindChar(section, ']') != std::string_view::npos ||
      EndsInLoneLeadByte(section) || key.find('=') != std::string_view::npos ||
      key.front() == '[') {
    return std::nullopt;
  }
  const std::vector<Line> lines = SplitLines(content);
  std::string result;
  result.reserve(content.size() + section.size() + key.size() + value.size() + 8);

  const std::optional<Range> range = FindSection(lines, section);
  if (!range) {
    result.append(content);
    if (!content.empty() && content.back() != '\n' && content.back() != '\r') result += "\r\n";
    result.append("[").append(section).append("]\r\n");
    result.append(key).append("=").append(value).append("\r\n");
    return result;
  }

  if (const Line* line = FindKey(lines, *range, key)) {
    result.append(content.substr(0, line->begin));
    result.append(line->name).append("=").append(value);
    result.append(content.substr(line->end));
    return result;
  }

  std::size_t last = range->first;
  for (std::size_t i = range->first; i < range->last; ++i) {
    if (lines[i].kind != Kind::Blank) last = i;
  }
  const Line& after = lines[last];
  result.append(content.substr(0, after.next));
  if (after.next == after.end) result += "\r\n";
  result.append(key).append("=").append(value).append("\r\n");
  result.append(content.substr(after.next));
  return result;
}

}  // namespace platform::ini
