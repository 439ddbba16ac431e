#include "tools/batch_replace.h"

#include <new>
#include <system_error>

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

// The one status line of one file.
std::string ProcessFile(platform::FileSystem& files, const ReplaceFields& edit,
                        const std::string& path) {
  std::optional<UnicodeText> read = ReadTextAsUnicode(files, path);
  if (!read) return path + " 文件读取失败";
  std::u16string keyword = Wide(edit.keyword);
  std::u16string endMarker = Wide(edit.endMarker);
  std::u16string replacement = Wide(edit.replacement);
  switch (edit.mode) {
    case kDirectReplace:
      DirectReplace(read->text, keyword, replacement);
      break;
    case kRangeReplace:
    case kMarkerReplace:
      RangeReplace(read->text, keyword, endMarker, replacement, edit.mode == kRangeReplace);
      break;
    default:
      return "错误：未知替换模式";
  }
  // Every matching file is written back, changed or not.
  if (!WriteTextEncoded(files, path, read->text, read->code)) return path + " 文件保存失败";
  return "[" + path + "] 处理完成，编码：" + std::to_string(read->code);
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
  if (keyword.empty()) return false;
  std::u16string_view in = text;
  std::size_t hit = in.find(keyword);
  if (hit == std::u16string_view::npos) return false;
  std::u16string out;
  out.reserve(text.size());
  std::size_t done = 0;
  while (hit != std::u16string_view::npos) {
    out.append(in.substr(done, hit - done));
    out.append(replacement);
    done = hit + keyword.size();
    hit = in.find(keyword, done);
  }
  out.append(in.substr(done));
  text = std::move(out);
  return true;
}

bool RangeReplace(std::u16string& text, std::u16string_view keyword, std::u16string_view endMarker,
                  std::u16string_view replacement, bool keepMarkers) {
  // The search resumes after the inserted text, so the result can be built
  // front to back while searching the untouched rest of the original.
  if (keyword.empty()) return false;  // would never move on
  std::u16string_view in = text;
  std::u16string out;
  std::size_t done = 0;  // input before this is already in `out`
  std::size_t position = 0;
  bool changed = false;
  while (position <= in.size()) {
    std::size_t k = in.find(keyword, position);
    if (k == std::u16string_view::npos) break;
    std::size_t a = k + keyword.size();
    std::size_t e = in.find(endMarker, a);
    if (e == std::u16string_view::npos) break;
    if (!changed) out.reserve(text.size());
    changed = true;
    std::u16string_view inner = in.substr(a, e - a);
    out.append(in.substr(done, (keepMarkers ? a : k) - done));
    std::u16string_view rest = replacement;
    for (std::size_t t = rest.find(kInnerToken); t != std::u16string_view::npos;
         t = rest.find(kInnerToken)) {
      out.append(rest.substr(0, t));
      out.append(inner);
      rest.remove_prefix(t + kInnerToken.size());
    }
    out.append(rest);
    done = keepMarkers ? e : e + endMarker.size();
    position = done;
  }
  if (!changed) return false;
  out.append(in.substr(done));
  text = std::move(out);
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
