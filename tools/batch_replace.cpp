#include "tools/batch_replace.h"

#include <functional>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/text_codec.h"
#include "tools/folder_scan.h"
#include "tools/ordered_pool.h"
#include "tools/text_files.h"

namespace tools {
namespace {

constexpr std::u16string_view kInnerToken = u"[*]";

std::u16string Wide(const std::string& gbk) {
  return text::GbkToUtf16(gbk);
}

template <typename Char>
using View = std::basic_string_view<Char>;
template <typename Char>
using Text = std::basic_string<Char>;

// In UTF-16 and in well-formed UTF-8 every match of whole characters starts
// and ends on character boundaries, so a plain search is a search by characters.
struct PlainFind {
  template <typename Char>
  std::size_t operator()(View<Char> text, View<Char> pattern, std::size_t from) const {
    return text.find(pattern, from);
  }
};

// GBK second bytes include ASCII, so a match must start on a character:
// `from` is one, and the search steps over double-byte characters from there.
struct GbkFind {
  std::size_t operator()(std::string_view text, std::string_view pattern, std::size_t from) const {
    std::size_t boundary = from;
    for (;;) {
      const std::size_t hit = text.find(pattern, boundary);
      if (hit == std::string_view::npos) return hit;
      while (boundary < hit) {
        const auto byte = static_cast<unsigned char>(text[boundary]);
        boundary += byte >= 0x81 && byte <= 0xFE ? 2 : 1;  // a lead byte
      }
      if (boundary == hit) return hit;
    }
  }
};

// Reserves room in the output; the file system's for a file's bytes.
template <typename Char>
using Reserve = std::function<void(Text<Char>&, std::size_t)>;

template <typename Char>
void PlainReserve(Text<Char>& text, std::size_t size) {
  text.reserve(size);
}

template <typename Char, typename Find>
std::optional<Text<Char>> Direct(View<Char> in, View<Char> keyword, View<Char> replacement,
                                 Find find, const Reserve<Char>& reserve = PlainReserve<Char>) {
  if (keyword.empty()) return std::nullopt;
  std::size_t hits = 0;
  for (std::size_t hit = find(in, keyword, 0); hit != View<Char>::npos;
       hit = find(in, keyword, hit + keyword.size())) {
    ++hits;
  }
  if (hits == 0) return std::nullopt;
  // Sized once: a big file is never copied while it grows.
  Text<Char> out;
  reserve(out, in.size() - hits * keyword.size() + hits * replacement.size());
  std::size_t done = 0;
  for (std::size_t hit = find(in, keyword, 0); hit != View<Char>::npos;
       hit = find(in, keyword, done)) {
    out.append(in.substr(done, hit - done));
    out.append(replacement);
    done = hit + keyword.size();
  }
  out.append(in.substr(done));
  return out;
}

// `pieces` is the replacement cut at each "[*]", which stands for the text
// between the markers.
template <typename Char, typename Find>
std::optional<Text<Char>> Range(View<Char> in, View<Char> keyword, View<Char> endMarker,
                                const std::vector<Text<Char>>& pieces, bool keepMarkers, Find find,
                                const Reserve<Char>& reserve = PlainReserve<Char>) {
  // The search resumes after the inserted text, so the result can be built
  // front to back while searching the untouched rest of the original.
  if (keyword.empty()) return std::nullopt;  // would never move on
  Text<Char> out;
  std::size_t done = 0;  // input before this is already in `out`
  std::size_t position = 0;
  bool changed = false;
  while (position <= in.size()) {
    std::size_t k = find(in, keyword, position);
    if (k == View<Char>::npos) break;
    std::size_t a = k + keyword.size();
    std::size_t e = find(in, endMarker, a);
    if (e == View<Char>::npos) break;
    if (!changed) reserve(out, in.size());
    changed = true;
    View<Char> inner = in.substr(a, e - a);
    out.append(in.substr(done, (keepMarkers ? a : k) - done));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) out.append(inner);
      out.append(pieces[i]);
    }
    done = keepMarkers ? e : e + endMarker.size();
    position = done;
  }
  if (!changed) return std::nullopt;
  out.append(in.substr(done));
  return out;
}

std::vector<std::u16string> CutAtInnerToken(std::u16string_view replacement) {
  std::vector<std::u16string> pieces;
  for (std::size_t t = replacement.find(kInnerToken); t != std::u16string_view::npos;
       t = replacement.find(kInnerToken)) {
    pieces.emplace_back(replacement.substr(0, t));
    replacement.remove_prefix(t + kInnerToken.size());
  }
  pieces.emplace_back(replacement);
  return pieces;
}

// The fields of one file, in the file's own code units.
template <typename Char>
struct Edit {
  Text<Char> keyword;
  Text<Char> endMarker;
  Text<Char> replacement;
  std::vector<Text<Char>> pieces;
};

template <typename Char, typename Encode>
Edit<Char> EncodeEdit(const ReplaceFields& fields, Encode encode) {
  Edit<Char> edit{encode(Wide(fields.keyword)),
                  encode(Wide(fields.endMarker)),
                  encode(Wide(fields.replacement)),
                  {}};
  for (const std::u16string& piece : CutAtInnerToken(Wide(fields.replacement))) {
    edit.pieces.push_back(encode(piece));
  }
  return edit;
}

// The replaced text, or nullopt when nothing changed.
template <typename Char, typename Find>
std::optional<Text<Char>> Apply(int mode, View<Char> in, const Edit<Char>& edit, Find find,
                                const Reserve<Char>& reserve = PlainReserve<Char>) {
  if (mode == kDirectReplace) {
    return Direct<Char>(in, edit.keyword, edit.replacement, find, reserve);
  }
  return Range<Char>(in, edit.keyword, edit.endMarker, edit.pieces, mode == kRangeReplace, find,
                     reserve);
}

bool KnownMode(int mode) {
  return mode == kDirectReplace || mode == kRangeReplace || mode == kMarkerReplace;
}

// The one status line of one file. UTF-8 and GBK are searched in their own
// bytes, which a lossless file allows: a big file is then never held as wide
// text as well.
std::string ProcessFile(platform::FileSystem& files, const ReplaceFields& fields,
                        const std::string& path) {
  std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return path + " 文件读取失败";
  if (!KnownMode(fields.mode)) return "错误：未知替换模式";
  std::optional<TextLayout> layout = DetectLossless(*bytes);
  // Decoding would replace or drop bytes; writing that back would damage the file.
  if (!layout) return path + " 文件编码无法无损转换，未修改";
  const std::string_view body = std::string_view(*bytes).substr(layout->markLength);
  bool saved = false;
  if (layout->code == kUtf8 || layout->code == kGbk) {
    const bool utf8 = layout->code == kUtf8;
    Edit<char> edit = EncodeEdit<char>(fields, [utf8](std::u16string_view wide) {
      return utf8 ? text::Utf16ToUtf8(wide) : text::Utf16ToGbk(wide);
    });
    Reserve<char> reserve = [&files](std::string& out, std::size_t size) {
      files.ReserveText(out, size);
    };
    std::optional<std::string> out =
        utf8 ? Apply<char>(fields.mode, body, edit, PlainFind(), reserve)
             : Apply<char>(fields.mode, body, edit, GbkFind(), reserve);
    // Every matching file is written back, changed or not; UTF-8 always with its mark.
    saved = files.RewriteFileParts(path, utf8 ? kUtf8Mark : std::string_view(),
                                   out ? std::string_view(*out) : body);
  } else {
    std::u16string wide = Utf16FromBytes(body, layout->code == kUtf16Be);
    bytes.reset();
    Edit<char16_t> edit =
        EncodeEdit<char16_t>(fields, [](std::u16string_view w) { return std::u16string(w); });
    if (std::optional<std::u16string> out = Apply<char16_t>(fields.mode, wide, edit, PlainFind())) {
      wide = std::move(*out);
    }
    saved = WriteTextEncoded(files, path, wide, layout->code);
  }
  if (!saved) return path + " 文件保存失败";
  return "[" + path + "] 处理完成，编码：" + std::to_string(layout->code);
}

// What ends a run early, by the kind of exception.
enum class Fault { None, Memory, File, Other };

Fault CurrentFault() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return Fault::Memory;
  } catch (const std::system_error& e) {
    // A thread the system has no room for is memory too.
    if (e.code() == std::errc::resource_unavailable_try_again) return Fault::Memory;
    return Fault::File;
  } catch (...) {
    return Fault::Other;
  }
}

const char* FaultStatus(Fault fault) {
  switch (fault) {
    case Fault::Memory:
      return "内存不足！";
    case Fault::File:
      return "文件操作失败！";
    default:
      return "发生未知错误！";
  }
}

struct FileOutcome {
  std::string status;
  Fault fault = Fault::None;
};

struct StopWalk {};

}  // namespace

const char* CurrentFaultStatus() {
  return FaultStatus(CurrentFault());
}

const char* ReplaceModeText(int mode) {
  switch (mode) {
    case kDirectReplace:
      return "直接替换";
    case kRangeReplace:
      return "范围替换";
    case kMarkerReplace:
      return "包含标记替换";
    default:
      return "";
  }
}

ReplaceFields ReplaceFieldsFromSettings(const std::optional<ToolSettings>& settings) {
  ReplaceFields fields;
  if (!settings) return fields;
  fields.folder = settings->Get("fileadd");
  fields.format = settings->Get("fileformat");
  std::string mode = settings->Get("tihuanmoshi");
  fields.mode = mode == ReplaceModeText(kRangeReplace)    ? kRangeReplace
                : mode == ReplaceModeText(kMarkerReplace) ? kMarkerReplace
                                                          : kDirectReplace;
  fields.keyword = settings->Get("guanjianci");
  fields.endMarker = settings->Get("endguanjianci");
  fields.replacement = settings->Get("tihuanneirong");
  return fields;
}

ToolSettings ReplaceFieldsToSettings(const ReplaceFields& fields) {
  ToolSettings settings;
  settings.Set("fileadd", fields.folder);
  settings.Set("fileformat", fields.format);
  settings.Set("tihuanmoshi", ReplaceModeText(fields.mode));
  settings.Set("guanjianci", fields.keyword);
  settings.Set("endguanjianci", fields.endMarker);
  settings.Set("tihuanneirong", fields.replacement);
  return settings;
}

std::optional<std::string> CheckReplaceStart(const ReplaceFields& fields) {
  if (fields.folder.empty() || fields.keyword.empty()) return std::string("请填写必要参数！");
  return std::nullopt;
}

bool DirectReplace(std::u16string& text, std::u16string_view keyword,
                   std::u16string_view replacement) {
  std::optional<std::u16string> out = Direct<char16_t>(text, keyword, replacement, PlainFind());
  if (!out) return false;
  text = std::move(*out);
  return true;
}

bool RangeReplace(std::u16string& text, std::u16string_view keyword, std::u16string_view endMarker,
                  std::u16string_view replacement, bool keepMarkers) {
  std::optional<std::u16string> out = Range<char16_t>(
      text, keyword, endMarker, CutAtInnerToken(replacement), keepMarkers, PlainFind());
  if (!out) return false;
  text = std::move(*out);
  return true;
}

bool RunReplace(platform::FileSystem& files, ReplaceSource& source, StatusSink& sink, int threads) {
  // Files are rewritten on a few threads; their lines still come in walk order,
  // and the fields are read here, in that order, as each file is handed on.
  Fault fault = Fault::None;
  try {
    OrderedPool<FileOutcome> pool(threads, [&](FileOutcome& outcome) {
      if (outcome.fault != Fault::None) {
        fault = outcome.fault;
        return false;
      }
      sink.PostStatus(std::move(outcome.status));
      return true;
    });
    Fault walkFault = Fault::None;
    try {
      ScanFolderByExtensionList(
          files, source.Folder(), [&] { return source.Format(); },
          [&](const std::string& path) {
            ReplaceFields edit = source.Edit();
            auto job = [&files, edit = std::move(edit), path]() -> FileOutcome {
              try {
                return {ProcessFile(files, edit, path)};
              } catch (...) {
                return {{}, CurrentFault()};
              }
            };
            if (!pool.Submit(std::move(job))) throw StopWalk();
          });
    } catch (const StopWalk&) {
    } catch (...) {
      walkFault = CurrentFault();
    }
    pool.Finish();
    if (fault == Fault::None) fault = walkFault;
  } catch (...) {
    fault = CurrentFault();  // not even one thread could start
  }
  sink.PostStatus(fault == Fault::None ? "处理完成！" : FaultStatus(fault));
  sink.PostFinished();
  return fault == Fault::None;
}

}  // namespace tools
