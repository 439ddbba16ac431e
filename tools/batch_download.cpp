#include "tools/batch_download.h"

#include <set>

#include "tools/ansi_text.h"
#include "tools/folder_scan.h"
#include "tools/text_files.h"

namespace tools {
namespace {

constexpr std::size_t kUrlPathBuffer = 2048;
constexpr std::size_t kUrlHostBuffer = 255;

std::string ReplaceAllAnsi(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t done = 0;
  for (std::size_t hit = FindAnsi(text, from); hit != kNotFound;
       hit = FindAnsi(text, from, hit + from.size())) {
    out.append(text.substr(done, hit - done));
    out.append(to);
    done = hit + from.size();
  }
  out.append(text.substr(done));
  return out;
}

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string DecodeEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  // The path lived in a C buffer: a decoded 0 byte ended it.
  std::size_t zero = out.find('\0');
  if (zero != std::string::npos) out.resize(zero);
  return out;
}

// Creates each missing folder on the way to the file.
void CreateFolders(platform::FileSystem& files, const std::string& savePath) {
  for (std::size_t i = 0; i < savePath.size(); i += AnsiCharLength(savePath, i)) {
    if (!IsSeparator(savePath[i]) || i == 0 || IsSeparator(savePath[i - 1])) continue;
    files.CreateDirectory(savePath.substr(0, i));
  }
}

void Wait(const DownloadServices& services, const DownloadJob& job, StatusSink& sink) {
  if (job.intervalSeconds <= 0) return;
  sink.PostStatus("等待 " + std::to_string(job.intervalSeconds) + " 秒...");
  for (int i = 0; i < job.intervalSeconds; ++i) {
    if (services.waitOneSecond) services.waitOneSecond();
    sink.PostStatus("剩余等待时间: " + std::to_string(job.intervalSeconds - i - 1) + " 秒");
  }
}

void Fetch(const DownloadServices& services, const std::string& url, const std::string& savePath,
           StatusSink& sink) {
  CreateFolders(services.files, savePath);
  platform::DownloadOptions options;
  options.userAgent = "MFC Downloader";
  options.connectTimeoutMs = 30000;
  options.receiveTimeoutMs = 30000;
  options.noCache = true;
  options.keepAlive = true;
  options.extraHeaders = "Accept-Charset: utf-8\r\n";
  platform::HttpResult result = services.http.Download(url, savePath, options);
  std::string code = std::to_string(result.errorCode);
  if (result.ok) {
    sink.PostStatus("下载成功: " + savePath);
    return;
  }
  switch (result.failure) {
    case platform::HttpFailure::Session:
      sink.PostStatus("无法初始化网络会话 (错误码: " + code + ")");
      break;
    case platform::HttpFailure::OpenUrl:
      sink.PostStatus("无法打开URL: " + url + " (错误码: " + code + ")");
      break;
    case platform::HttpFailure::CreateFile:
      sink.PostStatus("无法创建文件: " + savePath + " (错误码: " + code + ")");
      break;
    default:
      sink.PostStatus("下载失败: " + url + " (错误码: " + code + ")");
      break;
  }
}

}  // namespace

DownloadFields DownloadFieldsFromSettings(const std::optional<ToolSettings>& settings) {
  DownloadFields fields;
  if (!settings) return fields;
  fields.folder = settings->Get("fileadd");
  fields.format = settings->Get("fileformat");
  fields.saveFolder = settings->Get("downfileadd");
  fields.modeText =
      settings->Get("xiazaimoshi") == kMirrorSaveText ? kMirrorSaveText : kFlatSaveText;
  fields.startMarker = settings->Get("guanjianci");
  fields.endMarker = settings->Get("endguanjianci");
  fields.urlText = settings->Get("pinurl");
  fields.intervalText = settings->Get("jiangetime");
  fields.checkDuplicate = settings->Checked("checkduplicate");
  return fields;
}

ToolSettings DownloadFieldsToSettings(const DownloadFields& fields) {
  ToolSettings settings;
  settings.Set("fileadd", fields.folder);
  settings.Set("fileformat", fields.format);
  settings.Set("downfileadd", fields.saveFolder);
  settings.Set("xiazaimoshi", fields.modeText);
  settings.Set("guanjianci", fields.startMarker);
  settings.Set("endguanjianci", fields.endMarker);
  settings.Set("pinurl", fields.urlText);
  settings.Set("jiangetime", fields.intervalText);
  settings.SetChecked("checkduplicate", fields.checkDuplicate);
  return settings;
}

int ParseIntervalSeconds(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1'000'000'000);
  }
  return negative ? 0 : static_cast<int>(value);
}

std::string AdjustDownloadFormat(std::string format) {
  if (format.find('*') == std::string::npos) format.insert(0, "*.");
  return format;
}

DownloadJob MakeDownloadJob(const DownloadFields& fields, int conflictPolicy) {
  DownloadJob job;
  job.folder = fields.folder;
  job.format = AdjustDownloadFormat(fields.format);
  job.saveFolder = fields.saveFolder;
  job.modeText = fields.modeText;
  job.startMarker = fields.startMarker;
  job.endMarker = fields.endMarker;
  job.intervalSeconds = ParseIntervalSeconds(fields.intervalText);
  job.skipExisting = fields.checkDuplicate ? 1 : 0;
  job.conflictPolicy = fields.checkDuplicate ? kSkipExisting : conflictPolicy;

  std::string_view text = fields.urlText;
  if (std::size_t name = FindAnsi(text, "[*.]"); name != kNotFound) {
    std::string_view head = text.substr(0, name);
    std::size_t slash = head.rfind('/');
    job.urlHead = slash == std::string_view::npos ? head : head.substr(0, slash + 1);
    job.urlHeadName = slash == std::string_view::npos ? "" : head.substr(slash + 1);
    job.nameTail = text.substr(name + 4);
    job.useNameTemplate = 1;
  } else if (FindAnsi(text, "[*]") != kNotFound) {
    job.urlTemplate = text;
    job.useUrlTemplate = 1;
  } else {
    job.urlPrefix = text;
  }
  return job;
}

std::optional<std::string> CheckDownloadStart(platform::FileSystem& files, const DownloadJob& job) {
  if (!files.IsDirectory(job.folder)) return std::string("目标路径无效！");
  return std::nullopt;
}

std::vector<std::string> FindUrlParts(std::string_view text, std::string_view startMarker,
                                      std::string_view endMarker) {
  std::vector<std::string> parts;
  if (startMarker.empty() && endMarker.empty()) return parts;
  std::size_t position = 0;
  for (;;) {
    std::size_t start = FindAnsi(text, startMarker, position);
    if (start == kNotFound) break;
    std::size_t inner = start + startMarker.size();
    std::size_t end = FindAnsi(text, endMarker, inner);
    if (end == kNotFound) break;
    parts.emplace_back(text.substr(inner, end - inner));
    position = end + endMarker.size();
  }
  return parts;
}

std::string DownloadUrl(const DownloadJob& job, std::string_view part) {
  if (job.useNameTemplate) return job.urlHead + job.urlHeadName + std::string(part);
  if (job.useUrlTemplate) return ReplaceAllAnsi(job.urlTemplate, "[*]", part);
  return job.urlPrefix + std::string(part);
}

std::string DownloadFileName(const DownloadJob& job, std::string_view part, std::string_view url) {
  if (!job.useNameTemplate) return std::string(PathFindFileName(url));
  return std::string(CutAtLastDot(PathFindFileName(part))) + job.nameTail;
}

std::optional<std::string> CrackUrlPath(std::string_view url) {
  std::size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon >= kUrlHostBuffer) {
    return std::nullopt;
  }
  std::string_view rest = url.substr(colon + 1);
  if (!rest.starts_with("//")) return std::nullopt;
  rest.remove_prefix(2);
  std::size_t pathStart = rest.find_first_of("/?#");
  if (pathStart == std::string_view::npos) pathStart = rest.size();
  if (pathStart == 0 || pathStart >= kUrlHostBuffer) return std::nullopt;
  std::string path = DecodeEscapes(rest.substr(pathStart));
  if (path.size() >= kUrlPathBuffer) return std::nullopt;
  return path;
}

std::string DownloadSavePath(const DownloadJob& job, std::string_view url,
                             std::string_view fileName, char separator) {
  std::string sep(1, separator);
  if (job.modeText != kMirrorSaveText) return job.saveFolder + sep + std::string(fileName);

  std::string path = CrackUrlPath(url).value_or("");
  while (!path.empty() && path.back() == '/') path.pop_back();
  // Escapes the parser left encoded (a doubly encoded URL) get one more pass.
  for (auto [from, to] : {std::pair{"%2F", "/"}, std::pair{"%3F", "?"}, std::pair{"%3D", "="},
                          std::pair{"%26", "&"}, std::pair{"%20", " "}}) {
    path = ReplaceAllAnsi(path, from, to);
  }
  std::string save = job.saveFolder + sep + path;
  for (std::size_t i = 0; i < save.size(); i += AnsiCharLength(save, i)) {
    if (save[i] == '/') save[i] = separator;
  }
  if (job.useNameTemplate) {
    std::size_t last = kNotFound;
    for (std::size_t i = 0; i < save.size(); i += AnsiCharLength(save, i)) {
      if (save[i] == separator) last = i;
    }
    save = last == kNotFound ? job.saveFolder + sep + std::string(fileName)
                             : save.substr(0, last + 1) + std::string(fileName);
  }
  return save;
}

bool LeavesSaveFolder(std::string_view savePath, std::string_view saveFolder) {
  if (!savePath.starts_with(saveFolder)) return true;
  std::string_view rest = savePath.substr(saveFolder.size());
  std::size_t segment = 0;
  for (std::size_t i = 0; i <= rest.size();) {
    if (i == rest.size() || IsSeparator(rest[i])) {
      if (rest.substr(segment, i - segment) == "..") return true;
      segment = ++i;
    } else {
      i += AnsiCharLength(rest, i);
    }
  }
  return false;
}

std::string RenamedSavePath(platform::FileSystem& files, std::string_view savePath) {
  std::size_t dot = savePath.rfind('.');
  std::string_view base = dot == std::string_view::npos ? savePath : savePath.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? "" : savePath.substr(dot);
  for (int k = 1;; ++k) {
    std::string candidate = std::string(base) + "(" + std::to_string(k) + ")" + std::string(ext);
    if (!files.Exists(candidate)) return candidate;
  }
}

void RunDownload(DownloadServices services, const DownloadJob& job, StatusSink& sink) {
  platform::FileSystem& files = services.files;
  std::vector<std::string> list = ScanFolderByPattern(files, job.folder, job.format);
  std::string total = std::to_string(list.size());
  sink.PostStatus("共发现 " + total + " 个文件");
  std::set<std::string> seen;
  int number = 0;
  for (const std::string& path : list) {
    ++number;
    sink.PostStatus("正在处理：" + std::string(PathFindFileName(path)) + " (" +
                    std::to_string(number) + "/" + total + ")");
    std::optional<std::string> text = ReadTextRaw(files, path);
    if (!text) continue;
    for (std::string& part : FindUrlParts(*text, job.startMarker, job.endMarker)) {
      if (!seen.insert(part).second) continue;
      std::string url = DownloadUrl(job, part);
      std::string savePath =
          DownloadSavePath(job, url, DownloadFileName(job, part, url), files.Separator());
      sink.PostStatus("URL部分: " + part + "\n下载URL: " + url + "\n保存路径: " + savePath);
      if (LeavesSaveFolder(savePath, job.saveFolder)) {
        sink.PostStatus("保存路径超出保存文件夹，跳过: " + savePath);
        continue;
      }
      if (files.Exists(savePath)) {
        if (job.skipExisting || job.conflictPolicy == kSkipExisting) {
          sink.PostStatus("文件已存在，跳过: " + savePath);
          continue;
        }
        if (job.conflictPolicy == kOverwrite) {
          // A folder is never replaced by a file. A file is not deleted first:
          // the download replaces it once the new one is complete, so a failed
          // download leaves the old file.
          if (files.IsDirectory(savePath)) {
            sink.PostStatus("覆盖失败（删除失败）: " + savePath);
            continue;
          }
          sink.PostStatus("覆盖文件: " + savePath);
        } else {
          savePath = RenamedSavePath(files, savePath);
          sink.PostStatus("重命名为: " + savePath);
        }
      }
      Fetch(services, url, savePath, sink);
      Wait(services, job, sink);
    }
  }
  sink.PostFinished();
}

}  // namespace tools
