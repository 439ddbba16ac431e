#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server {

// The query of one request. Values stay raw until asked for: the client sends
// some values form-encoded ('+' is a space) and inserts others as typed, where
// a '+' is a plus.
class Query {
 public:
  static Query Parse(std::string_view raw);

  // The first value of `key`, percent-decoded; nullopt when the key is absent.
  std::optional<std::string> Raw(std::string_view key) const;
  // The same for a form-encoded value: '+' also becomes a space.
  std::optional<std::string> Form(std::string_view key) const;
  bool Has(std::string_view key) const;

  // The query for the log: everything from the value of the first key of
  // `secrets` on becomes "***". A password that holds '&' splits the query,
  // so the pieces after it may be password too.
  static std::string Redacted(std::string_view raw, const std::vector<std::string_view>& secrets);

 private:
  struct Pair {
    std::string key;
    std::string value;  // as it came
  };
  const Pair* Find(std::string_view key) const;
  std::vector<Pair> pairs_;
};

std::string PercentDecode(std::string_view text, bool plusIsSpace);

// An account id: 1 to 18 decimal digits without a leading zero.
std::optional<std::int64_t> ParseAccountId(std::string_view text);
// A small non-negative decimal number (codes, levels, slot numbers).
std::optional<int> ParseSmallNumber(std::string_view text, int max);

// True when the bytes are valid GBK and hold no control character.
bool IsCleanGbk(std::string_view text);
// Plain ASCII address of the usual shape: local part, one '@', dotted domain.
bool IsEmailAddress(std::string_view text);

}  // namespace server
