#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "tools/status_sink.h"
#include "tools/tool_settings.h"

namespace tools {

// Entries of the mode list, in order; the index is the mode.
inline constexpr int kReplaceModeNone = -1;  // nothing selected
inline constexpr int kDirectReplace = 0;
inline constexpr int kRangeReplace = 1;
inline constexpr int kMarkerReplace = 2;
const char* ReplaceModeText(int mode);  // "" for none

// The texts of the replace page's fields (GBK).
struct ReplaceFields {
  std::string folder;
  std::string format;
  int mode = kReplaceModeNone;
  std::string keyword;
  std::string endMarker;
  std::string replacement;
};

// Fields from "Pitihuan.ini"; without a file no mode is selected.
ReplaceFields ReplaceFieldsFromSettings(const std::optional<ToolSettings>& settings);
ToolSettings ReplaceFieldsToSettings(const ReplaceFields& fields);
// The message that refuses a start, if any.
std::optional<std::string> CheckReplaceStart(const ReplaceFields& fields);

// Where the worker reads the fields, at the moments the page would be read:
// the folder once, the filter for every file tested, the rest for every file
// processed. A page answers from its controls, so edits apply from the next file.
class ReplaceSource {
 public:
  virtual ~ReplaceSource() = default;
  virtual std::string Folder() = 0;
  virtual std::string Format() = 0;
  // keyword, endMarker, replacement and mode; folder and format may be left empty.
  virtual ReplaceFields Edit() = 0;
};

class FixedReplaceSource : public ReplaceSource {
 public:
  explicit FixedReplaceSource(ReplaceFields fields) : fields_(std::move(fields)) {}
  std::string Folder() override { return fields_.folder; }
  std::string Format() override { return fields_.format; }
  ReplaceFields Edit() override { return fields_; }

 private:
  ReplaceFields fields_;
};

// Every keyword by the replacement, left to right, inserted text not searched
// again. False (text untouched) when nothing matched or the keyword is empty.
bool DirectReplace(std::u16string& text, std::u16string_view keyword,
                   std::u16string_view replacement);
// The text between each keyword and the next end marker becomes the
// replacement with "[*]" standing for that text; with keepMarkers the markers
// stay, otherwise they go too. An empty keyword changes nothing.
bool RangeReplace(std::u16string& text, std::u16string_view keyword, std::u16string_view endMarker,
                  std::u16string_view replacement, bool keepMarkers);

// Inside a catch block: the status line that ends a run on the exception being
// handled ("内存不足！", "文件操作失败！" or "发生未知错误！").
const char* CurrentFaultStatus();

// One run: walks the folder and rewrites every matching file in the code it
// was read in, `threads` files at a time. Posts one line per file in walk
// order and "处理完成！" (or the error that ended the run), then PostFinished.
// The source is read only on the calling thread; the sink's calls never overlap.
// False when an error ended the run.
inline constexpr int kReplaceThreads = 4;
bool RunReplace(platform::FileSystem& files, ReplaceSource& source, StatusSink& sink,
                int threads = kReplaceThreads);

}  // namespace tools
