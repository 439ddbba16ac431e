#include "tools/batch_extract.h"

#include <memory>
#include <unordered_set>

#include "tools/ansi_text.h"
#include "tools/folder_scan.h"
#include "tools/text_files.h"

namespace tools {
namespace {

constexpr const char* kStartKeys[] = {"startsign1", "startsign2", "startsign3", "startsign4"};
constexpr const char* kEndKeys[] = {"endsign1", "endsign2", "endsign3", "endsign4"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "a.b.txt" gives "a": the name without extension, cut once more at a ".".
std::string_view ShortStem(std::string_view path) {
  return CutAtLastDot(CutAtLastDot(FileNameOf(path)));
}

}  // namespace

ExtractFields ExtractFieldsFromSettings(const std::optional<ToolSettings>& settings) {
  ExtractFields fields;
  if (!settings) return fields;
  fields.folder = settings->Get("fileadd");
  fields.format = settings->Get("fileformat");
  for (int i = 0; i < 4; ++i) {
    fields.startMarkers[i] = settings->Get(kStartKeys[i]);
    fields.endMarkers[i] = settings->Get(kEndKeys[i]);
  }
  fields.lineTemplate = settings->Get("montage");
  fields.saveFolder = settings->Get("savefileadd");
  fields.saveFile = settings->Get("savefilename");
  fields.contain = settings->Checked("contain");
  fields.checkDuplicate = settings->Checked("checkduplicate");
  fields.eachIdentifier = settings->Checked("eachiden");
  fields.autoLine = settings->Checked("autoline");
  fields.eachFile = settings->Checked("eachfile");
  return fields;
}

ToolSettings ExtractFieldsToSettings(const ExtractFields& fields) {
  ToolSettings settings;
  settings.Set("fileadd", fields.folder);
  settings.Set("fileformat", fields.format);
  for (int i = 0; i < 4; ++i) {
    settings.Set(kStartKeys[i], fields.startMarkers[i]);
    settings.Set(kEndKeys[i], fields.endMarkers[i]);
  }
  settings.Set("montage", fields.lineTemplate);
  settings.Set("savefileadd", fields.saveFolder);
  settings.Set("savefilename", fields.saveFile);
  settings.SetChecked("contain", fields.contain);
  settings.SetChecked("checkduplicate", fields.checkDuplicate);
  settings.SetChecked("eachiden", fields.eachIdentifier);
  settings.SetChecked("autoline", fields.autoLine);
  settings.SetChecked("eachfile", fields.eachFile);
  return settings;
}

std::vector<std::string> FindPieces(std::string_view text, std::string_view startMarker,
                                    std::string_view endMarker, bool contain) {
  std::vector<std::string> pieces;
  if (startMarker.empty() || endMarker.empty()) return pieces;
  std::size_t position = 0;
  for (;;) {
    std::size_t start = FindAnsi(text, startMarker, position);
    if (start == kNotFound) break;
    std::size_t inner = start + startMarker.size();
    std::size_t end = FindAnsi(text, endMarker, inner);
    if (end == kNotFound) break;
    std::size_t after = end + endMarker.size();
    pieces.emplace_back(contain ? text.substr(start, after - start)
                                : text.substr(inner, end - inner));
    position = after;
  }
  return pieces;
}

std::string CombineLine(std::string_view lineTemplate, const std::array<std::string, 4>& values,
                        std::string_view path) {
  std::string line(lineTemplate);
  bool anyFound = false;
  bool addName = false;
  std::size_t position = 0;
  for (;;) {
    std::size_t open = FindAnsi(line, "[", position);
    if (open == kNotFound) break;
    std::size_t close = FindAnsi(line, "]", open + 1);
    if (close == kNotFound) break;
    std::string_view token = std::string_view(line).substr(open + 1, close - open - 1);
    std::string_view fallback;
    std::size_t bar = token.empty() ? kNotFound : FindAnsi(token, "|");
    if (bar != kNotFound) {
      fallback = token.substr(bar + 1);
      token = token.substr(0, bar);
    }

    bool useDefault = false;
    std::string value;
    if (token == "*") {
      for (const std::string& x : values) {
        value += x;
        anyFound = anyFound || !x.empty();
      }
      useDefault = value.empty() && !fallback.empty();
    } else if (!token.empty() && IsDigit(token.front())) {
      long n = 0;
      for (std::size_t i = 0; i < token.size() && IsDigit(token[i]) && n < 100; ++i) {
        n = n * 10 + (token[i] - '0');
      }
      if (n >= 1 && n <= 4) {
        if (!values[n - 1].empty()) {
          value = values[n - 1];
          anyFound = true;
        } else {
          useDefault = true;
        }
      }
    }
    if (useDefault) {
      if (fallback == ".") {
        value = CutAtLastDot(FileNameOf(path));
      } else if (fallback == "_.") {
        value.clear();
        addName = true;
      } else {
        value = fallback;
      }
    }
    line.replace(open, close - open + 1, value);
    position = open + value.size();
  }
  if (!anyFound) return std::string();
  if (addName) {
    line += ' ';
    line += ShortStem(path);
  }
  return line;
}

std::vector<std::string> ExtractLines(const ExtractFields& fields, std::string_view text,
                                      std::string_view path) {
  std::array<std::vector<std::string>, 4> pieces;
  for (int i = 0; i < 4; ++i) {
    if (!fields.startMarkers[i].empty()) {
      pieces[i] = FindPieces(text, fields.startMarkers[i], fields.endMarkers[i], fields.contain);
    }
  }
  std::vector<std::string> lines;
  auto add = [&](const std::array<std::string, 4>& values) {
    std::string line = CombineLine(fields.lineTemplate, values, path);
    if (!line.empty()) lines.push_back(std::move(line));
  };
  if (fields.eachIdentifier) {
    for (int i = 0; i < 4; ++i) {
      for (const std::string& piece : pieces[i]) {
        std::array<std::string, 4> values;
        values[i] = piece;
        add(values);
      }
    }
  } else {
    std::size_t rows = 0;
    for (const auto& list : pieces) rows = std::max(rows, list.size());
    for (std::size_t r = 0; r < rows; ++r) {
      std::array<std::string, 4> values;
      for (int i = 0; i < 4; ++i) {
        if (r < pieces[i].size()) values[i] = pieces[i][r];
      }
      add(values);
    }
  }
  return lines;
}

std::string EachFileName(std::string_view stem, std::string_view saveFile, int number, int count) {
  std::string base;
  std::string ext;
  bool plain = false;
  std::size_t dot = saveFile.rfind('.');
  if (dot != std::string_view::npos) {
    base = saveFile.substr(0, dot);
    ext = saveFile.substr(dot);
  } else if (saveFile.empty() || saveFile == "txt") {
    plain = true;
    if (!saveFile.empty()) ext = "." + std::string(saveFile);
  } else {
    base = saveFile;
  }
  std::string counter;
  if (count != 1) counter.append("(").append(std::to_string(number)).append(")");
  std::string name = std::string(stem) + (plain ? "" : "_" + base) + counter + ext;
  if (name.empty()) name = std::string(stem) + "_result" + counter + ".txt";
  return name;
}

namespace {

std::string ResultPath(platform::FileSystem& files, const std::string& folder,
                       const std::string& fileName) {
  return folder + files.Separator() + fileName;
}

void AppendLineBytes(std::string& bytes, const std::string& line, bool autoLine) {
  bytes += line;
  if (autoLine && !line.ends_with("\r\n")) bytes += "\r\n";
}

// The run's result file, appended to in blocks of whole files' lines as the
// files give them, so memory does not grow with the output. The file is made
// when the first line comes.
class ResultFile {
 public:
  ResultFile(platform::FileSystem& files, const ExtractFields& fields)
      : files_(files),
        folder_(fields.saveFolder),
        path_(ResultPath(files, fields.saveFolder,
                         fields.saveFile.empty() ? "result.txt" : fields.saveFile)),
        checkDuplicate_(fields.checkDuplicate),
        autoLine_(fields.autoLine) {}

  const std::string& path() const { return path_; }

  void Add(std::string line) {
    if (line.empty()) return;
    if (checkDuplicate_) {
      auto [it, added] = written_.insert(std::move(line));
      if (added) AppendLineBytes(pending_, *it, autoLine_);
    } else {
      AppendLineBytes(pending_, line, autoLine_);
    }
  }

  // At the end of a file's lines: writes them when enough have gathered, and
  // at once the first time, so that a result file that cannot be made stops
  // the run before it has read everything.
  bool EndOfFile() {
    if (pending_.empty() || (target_ && pending_.size() < kBlockBytes)) return true;
    return Write();
  }

  bool Finish() { return pending_.empty() || Write(); }

  // Takes back what the run appended.
  void Withdraw() {
    if (target_) target_->Withdraw();
  }

 private:
  static constexpr std::size_t kBlockBytes = 1 << 20;

  bool Write() {
    if (!target_) {
      files_.CreateDirectory(folder_);
      target_ = files_.OpenForAppend(path_);
      if (!target_) return false;
    }
    if (!target_->Append(pending_)) return false;
    pending_.clear();
    return true;
  }

  platform::FileSystem& files_;
  std::string folder_;
  std::string path_;
  bool checkDuplicate_;
  bool autoLine_;
  std::unique_ptr<platform::AppendTarget> target_;
  std::string pending_;
  std::unordered_set<std::string> written_;
};

}  // namespace

std::string ResultWriteFailedText(const std::string& path) {
  return "结果文件写入失败：" + path;
}

bool AppendLines(platform::FileSystem& files, const std::string& folder,
                 const std::string& fileName, const std::vector<std::string>& lines,
                 bool checkDuplicate, bool autoLine) {
  files.CreateDirectory(folder);
  std::string bytes;
  std::unordered_set<std::string_view> written;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    if (checkDuplicate && !written.insert(line).second) continue;
    AppendLineBytes(bytes, line, autoLine);
  }
  return files.AppendFile(ResultPath(files, folder, fileName), bytes);
}

bool RunExtract(platform::FileSystem& files, const ExtractFields& fields, StatusSink& sink) {
  std::vector<std::string> list = ScanFolderBySuffix(files, fields.folder, fields.format);
  ResultFile result(files, fields);
  std::string failedPath;
  int number = 0;
  for (const std::string& path : list) {
    ++number;
    sink.PostStatus("正在处理：" + std::string(CutAtLastDot(FileNameOf(path))) + " (" +
                    std::to_string(number) + "/" + std::to_string(list.size()) + ")");
    std::vector<std::string> lines = ExtractLines(fields, ReadTextAsAnsi(files, path), path);
    if (!fields.eachFile) {
      for (std::string& line : lines) result.Add(std::move(line));
      if (!result.EndOfFile()) {
        failedPath = result.path();
        break;
      }
      continue;
    }
    int count = static_cast<int>(lines.size());
    std::string stem(ShortStem(path));
    for (int j = 1; j <= count && failedPath.empty(); ++j) {
      std::string name = EachFileName(stem, fields.saveFile, j, count);
      if (!AppendLines(files, fields.saveFolder, name, {lines[j - 1]}, fields.checkDuplicate,
                       fields.autoLine)) {
        failedPath = ResultPath(files, fields.saveFolder, name);
      }
    }
    if (!failedPath.empty()) break;
  }
  if (failedPath.empty() && !result.Finish()) failedPath = result.path();
  if (!failedPath.empty()) result.Withdraw();
  sink.PostStatus(failedPath.empty() ? std::string("处理完成！")
                                     : ResultWriteFailedText(failedPath));
  sink.PostFinished();
  return failedPath.empty();
}

}  // namespace tools
