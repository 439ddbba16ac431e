#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text rules of Windows profile (ini) files, on the file's bytes (GBK).
// Sections and keys match without regard to ASCII case, with surrounding
// whitespace ignored; the first matching section and key count. Lines end in
// CR LF, LF or CR; nothing marks a comment. Keys above the first section
// belong to the section with the empty name.
namespace platform::ini {

// A file's text parsed once, for answering many reads of it; the answers are
// those of the functions below. Holds views into the text, which must outlive it.
class Document {
 public:
  explicit Document(std::string_view content);

  std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, unsigned bufferSize) const;
  int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;

 private:
  struct Key {
    std::string_view name;
    std::optional<std::string_view> value;
  };
  struct Section {
    std::string_view name;
    std::size_t firstKey;
    std::size_t lastKey;
  };
  std::vector<Key> keys_;
  // Every header in file order, after the nameless section above the first one.
  std::vector<Section> sections_;
};

// The trimmed value of a key line that has an "=", or nullopt.
std::optional<std::string> FindValue(std::string_view content, std::string_view section,
                                     std::string_view key);

// What GetPrivateProfileStringA gives: the value, or else the default without its
// trailing blanks; one pair of matching surrounding quotes (' or ") removed; cut to
// bufferSize - 1 bytes, never through the middle of a double-byte character.
std::string ReadString(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view defaultValue, unsigned bufferSize);

// What GetPrivateProfileIntA gives: the default when the key is missing or empty,
// otherwise ParseInt of the value.
int ReadInt(std::string_view content, std::string_view section, std::string_view key,
            int defaultValue);

// The integer at the start of a text: an optional sign, an optional base prefix
// ("0x", "0o", "0b"), then digits of that base; no digits give 0. Wraps at 32 bits.
int ParseInt(std::string_view text);

// The file after writing key=value: the key's line rewritten in place, a new key
// after the last non-blank line of its section, or a new section at the end.
// Every other line keeps its bytes; new lines end in CR LF. nullopt when the
// names or the value cannot be stored (line breaks, an empty section name, "="
// in a key, "]" in a section name or a lone lead byte at its end).
std::optional<std::string> WithValue(std::string_view content, std::string_view section,
                                     std::string_view key, std::string_view value);

}  // namespace platform::ini
