#include "server/query.h"

#include <algorithm>

#include "platform/text_codec.h"

namespace server {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string PercentDecode(std::string_view text, bool plusIsSpace) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += (plusIsSpace && c == '+') ? ' ' : c;
  }
  return out;
}

Query Query::Parse(std::string_view raw) {
  Query query;
  std::size_t start = 0;
  while (start <= raw.size()) {
    std::size_t end = raw.find('&', start);
    if (end == std::string_view::npos) end = raw.size();
    std::string_view piece = raw.substr(start, end - start);
    if (!piece.empty()) {
      std::size_t equals = piece.find('=');
      Pair pair;
      pair.key = PercentDecode(piece.substr(0, equals), false);
      if (equals != std::string_view::npos) pair.value = std::string(piece.substr(equals + 1));
      query.pairs_.push_back(std::move(pair));
    }
    start = end + 1;
  }
  return query;
}

const Query::Pair* Query::Find(std::string_view key) const {
  for (const Pair& pair : pairs_) {
    if (pair.key == key) return &pair;
  }
  return nullptr;
}

std::optional<std::string> Query::Raw(std::string_view key) const {
  const Pair* pair = Find(key);
  if (!pair) return std::nullopt;
  return PercentDecode(pair->value, false);
}

std::optional<std::string> Query::Form(std::string_view key) const {
  const Pair* pair = Find(key);
  if (!pair) return std::nullopt;
  return PercentDecode(pair->value, true);
}

bool Query::Has(std::string_view key) const {
  return Find(key) != nullptr;
}

std::string Query::Redacted(std::string_view raw, const std::vector<std::string_view>& secrets) {
  std::string out;
  std::size_t start = 0;
  while (start <= raw.size()) {
    std::size_t end = raw.find('&', start);
    if (end == std::string_view::npos) end = raw.size();
    std::string_view piece = raw.substr(start, end - start);
    std::size_t equals = piece.find('=');
    std::string key = PercentDecode(piece.substr(0, equals), false);
    if (start > 0) out += '&';
    bool secret = std::find(secrets.begin(), secrets.end(), key) != secrets.end();
    if (secret) {
      out.append(piece.substr(0, equals == std::string_view::npos ? piece.size() : equals + 1));
      out += "***";
      break;
    }
    out.append(piece);
    start = end + 1;
  }
  return out;
}

std::optional<std::int64_t> ParseAccountId(std::string_view text) {
  if (text.empty() || text.size() > 18 || text[0] == '0') return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<int> ParseSmallNumber(std::string_view text, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  if (text.size() > 1 && text[0] == '0') return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > max) return std::nullopt;
  return value;
}

bool IsCleanGbk(std::string_view text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  bool valid = true;
  text::GbkToUtf16(text, &valid);
  return valid;
}

bool IsEmailAddress(std::string_view text) {
  if (text.size() < 5 || text.size() > 100) return false;
  std::size_t at = text.find('@');
  if (at == std::string_view::npos || at == 0 || text.find('@', at + 1) != std::string_view::npos)
    return false;
  std::string_view local = text.substr(0, at);
  std::string_view domain = text.substr(at + 1);
  for (char c : local) {
    if (!IsAsciiAlnum(c) && c != '.' && c != '_' && c != '-' && c != '+') return false;
  }
  if (local.front() == '.' || local.back() == '.') return false;
  // Dotted labels of letters, digits and hyphens; at least two labels.
  std::size_t labels = 0;
  std::size_t start = 0;
  while (start <= domain.size()) {
    std::size_t end = domain.find('.', start);
    if (end == std::string_view::npos) end = domain.size();
    std::string_view label = domain.substr(start, end - start);
    if (label.empty() || label.front() == '-' || label.back() == '-') return false;
    for (char c : label) {
      if (!IsAsciiAlnum(c) && c != '-') return false;
    }
    ++labels;
    start = end + 1;
  }
  return labels >= 2;
}

}  // namespace server
