#include "online/server_text.h"

namespace online {

std::string UrlFormEncode(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
      out += c;
    } else if (b == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

std::string Field(const std::string& text, char separator, int index) {
  if (index < 0) return {};
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    const std::size_t next = text.find(separator, start);
    if (next == std::string::npos) return {};
    start = next + 1;
  }
  return text.substr(start, text.find(separator, start) - start);
}

std::vector<std::string> SplitFields(const std::string& text, char separator, int count) {
  std::vector<std::string> fields;
  fields.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
  std::size_t start = 0;
  bool more = true;
  for (int i = 0; i < count; ++i) {
    if (!more) {
      fields.emplace_back();
      continue;
    }
    const std::size_t next = text.find(separator, start);
    fields.push_back(text.substr(start, next - start));
    more = next != std::string::npos;
    start = more ? next + 1 : text.size();
  }
  return fields;
}

int LeadingNumber(const std::string& text) {
  constexpr int kLargest = 2147483647;
  long long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > kLargest) return kLargest;
  }
  return static_cast<int>(value);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const auto& line : lines) joined += line;
  return joined;
}

}  // namespace online
