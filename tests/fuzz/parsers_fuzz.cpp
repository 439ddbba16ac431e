// A libFuzzer target over the parsers that read outside input: server replies,
// profile files, task records, the server's query parsing and the batch tools'
// text readers and markers. Not part of the build or CI: run.sh beside this
// file builds it with clang and runs it for a while. Any input it finds that
// breaks something becomes a unit test of the layer it hit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "online/server_text.h"
#include "platform/files/path_text.h"
#include "platform/ini_file.h"
#include "platform/text_codec.h"
#include "server/query.h"
#include "tasks/task_sync_rules.h"
#include "tasks/task_table.h"
#include "tools/ansi_text.h"
#include "tools/batch_download.h"
#include "tools/batch_extract.h"
#include "tools/batch_replace.h"
#include "tools/text_files.h"

namespace {

// Splits the input into up to `n` parts at 0xFF 0x00 pairs, so one input can
// carry a text and its markers.
std::vector<std::string_view> Parts(std::string_view in, std::size_t n) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < n) {
    std::size_t cut = in.find(std::string_view("\xFF\x00", 2));
    if (cut == std::string_view::npos) break;
    parts.push_back(in.substr(0, cut));
    in.remove_prefix(cut + 2);
  }
  parts.push_back(in);
  while (parts.size() < n) parts.emplace_back();
  return parts;
}

void Check(bool ok) {
  if (!ok) std::abort();
}

void Codec(std::string_view in) {
  bool valid = true;
  std::u16string wide = text::GbkToUtf16(in, &valid);
  if (text::GbkRoundTrips(in)) Check(text::Utf16ToGbk(wide) == in);
  std::u16string fromUtf8 = text::Utf8ToUtf16(in, &valid);
  if (text::IsWellFormedUtf8(in)) Check(text::Utf16ToUtf8(fromUtf8) == in);
  text::Utf8ToGbk(in);
  text::GbkToUtf8(in);
  // A name the system gives leads back to the same bytes, whatever they are.
  Check(platform::Utf8FromPathText(platform::PathTextFromUtf8(in)) == in);
  std::u16string units = tools::Utf16FromBytes(in, false);
  text::Utf16ToUtf8(units);
  text::Utf16ToGbk(units);
}

void TextFiles(std::string_view in) {
  tools::DecodeAsAnsi(in);
  tools::UnicodeText decoded = tools::DecodeAsUnicode(in);
  // What the replace tool writes back for a file it read losslessly and did
  // not change is the file's own bytes (UTF-8 always gains its mark).
  if (decoded.lossless) {
    std::optional<tools::TextLayout> layout = tools::DetectLossless(in);
    Check(layout.has_value());
    std::string expected(in);
    if (layout->code == tools::kUtf8 && layout->markLength == 0)
      expected.insert(0, tools::kUtf8Mark);
    Check(tools::EncodeText(decoded.text, decoded.code) == expected);
  }
}

std::string_view TrimBlanks(std::string_view s) {
  auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
  };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool PlainAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

void Ini(std::string_view in) {
  auto p = Parts(in, 5);
  const std::string_view content = p[0], section = p[1], key = p[2], value = p[3], other = p[4];
  platform::ini::Document doc(content);
  doc.ReadString(section, key, "d", 260);
  doc.ReadInt(section, key, 7);
  platform::ini::ParseInt(content);
  std::optional<std::string> written = platform::ini::WithValue(content, section, key, value);
  if (!written) return;
  // The value written reads back as written, blanks around it aside.
  std::optional<std::string> back = platform::ini::FindValue(*written, section, key);
  Check(back.has_value() && *back == TrimBlanks(value));
  // Another key of the section keeps its value.
  if (PlainAscii(key) && PlainAscii(other) &&
      LowerAscii(TrimBlanks(key)) != LowerAscii(TrimBlanks(other))) {
    Check(platform::ini::FindValue(content, section, other) ==
          platform::ini::FindValue(*written, section, other));
  }
}

void Tasks(std::string_view in) {
  tasks::TaskTable table;
  tasks::LoadFetchReply(table, std::string(in));
  tasks::TaskTable second;
  second.LoadFetchedRecord(1, in);
  online::LeadingNumber(std::string(in));
  online::SplitFields(std::string(in), '|', 13);
}

void Server(std::string_view in) {
  server::Query q = server::Query::Parse(in);
  q.Raw("dl");
  q.Form("taskcontent");
  server::Query::Redacted(in, {"password", "pd"});
  server::ParseAccountId(in);
  server::ParseSmallNumber(in, 1000);
  server::IsCleanGbk(in);
  server::IsEmailAddress(in);
  server::PercentDecode(in, true);
}

void Markers(std::string_view in) {
  auto p = Parts(in, 4);
  tools::FindAnsi(p[0], p[1], 0);
  tools::LowerAnsi(p[0]);
  tools::PathFindFileName(p[0]);
  tools::FindPieces(p[0], p[1], p[2], true);
  tools::FindPieces(p[0], p[1], p[2], false);
  tools::FindUrlParts(p[0], p[1], p[2]);
  tools::CrackUrlPath(p[0]);
  tools::DownloadJob job;
  job.saveFolder = "/save";
  job.modeText = tools::kMirrorSaveText;
  job.useNameTemplate = p[3].size() % 2;
  std::string save = tools::DownloadSavePath(job, p[0], p[1], '/');
  tools::LeavesSaveFolder(save, job.saveFolder);
  tools::ExtractFields fields;
  fields.startMarkers[0] = std::string(p[1]);
  fields.endMarkers[0] = std::string(p[2]);
  fields.lineTemplate = std::string(p[3]);
  fields.autoLine = p[3].size() % 3 == 0;
  tools::ExtractLines(fields, p[0], "/a/b.txt");
  std::u16string wide = text::GbkToUtf16(p[0]);
  std::u16string copy = wide;
  tools::DirectReplace(copy, text::GbkToUtf16(p[1]), text::GbkToUtf16(p[3]));
  copy = wide;
  tools::RangeReplace(copy, text::GbkToUtf16(p[1]), text::GbkToUtf16(p[2]), text::GbkToUtf16(p[3]),
                      p[3].size() % 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 6) {
    case 0:
      Codec(in);
      break;
    case 1:
      TextFiles(in);
      break;
    case 2:
      Ini(in);
      break;
    case 3:
      Tasks(in);
      break;
    case 4:
      Server(in);
      break;
    default:
      Markers(in);
      break;
  }
  return 0;
}
