#pragma once
#include <string>
#include <vector>

// The text rules every server request shares: the query-value encoder and
// the splitting of replies into fields. Texts are GBK bytes.
namespace online {

// Letters and digits stay, a space becomes "+", every other byte (punctuation
// and each byte of a GBK character) becomes "%XX" in upper case.
std::string UrlFormEncode(const std::string& bytes);

// Piece `index` (from 0) of `text` between `separator`s; empty beyond the last one.
std::string Field(const std::string& text, char separator, int index);
// Pieces 0 to count - 1, missing ones empty; pieces after them are dropped.
std::vector<std::string> SplitFields(const std::string& text, char separator, int count);

// The integer of the leading decimal digits of a field: 0 when there are
// none, and no more than the largest int however many digits follow.
int LeadingNumber(const std::string& text);

// The reply lines appended with no separator, as most callers read a reply.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace online
