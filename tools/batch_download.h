#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/http.h"
#include "tools/status_sink.h"
#include "tools/tool_settings.h"

namespace tools {

// Entries of the save-path list; anything but the second saves flat.
inline constexpr const char* kFlatSaveText = "直接下载保存";
inline constexpr const char* kMirrorSaveText = "按路径保存";

// The texts and check box of the download page (GBK).
struct DownloadFields {
  std::string folder;
  std::string format;
  std::string saveFolder;
  std::string modeText;
  std::string startMarker;
  std::string endMarker;
  std::string urlText;
  std::string intervalText;
  bool checkDuplicate = false;
};

DownloadFields DownloadFieldsFromSettings(const std::optional<ToolSettings>& settings);
ToolSettings DownloadFieldsToSettings(const DownloadFields& fields);

// What to do with a save path that is already taken.
inline constexpr int kSkipExisting = 0;
inline constexpr int kOverwrite = 1;
inline constexpr int kRenameNew = 2;

struct DownloadJob {
  std::string folder;
  std::string format;
  std::string saveFolder;
  std::string modeText;
  std::string startMarker;
  std::string endMarker;
  std::string urlHead;
  std::string nameTail;
  std::string urlTemplate;
  std::string urlPrefix;
  std::string urlHeadName;
  int useNameTemplate = 0;
  int useUrlTemplate = 0;
  int intervalSeconds = 0;
  int skipExisting = 0;
  int conflictPolicy = kSkipExisting;
};

// Leading blanks, a sign and digits, like atoi; negative becomes 0.
int ParseIntervalSeconds(std::string_view text);
// A format without "*" gets "*." in front ("txt" lists *.txt).
std::string AdjustDownloadFormat(std::string format);
// The job as the start button builds it; `conflictPolicy` is the user's answer
// when the box is clear and ignored when it is ticked.
DownloadJob MakeDownloadJob(const DownloadFields& fields, int conflictPolicy);
// "目标路径无效！" when the folder is not a directory.
std::optional<std::string> CheckDownloadStart(platform::FileSystem& files, const DownloadJob& job);

// URL parts between the markers, in order, repeats included.
std::vector<std::string> FindUrlParts(std::string_view text, std::string_view startMarker,
                                      std::string_view endMarker);
std::string DownloadUrl(const DownloadJob& job, std::string_view part);
std::string DownloadFileName(const DownloadJob& job, std::string_view part, std::string_view url);
// Path and query of a URL with escapes decoded; nullopt when it cannot be parsed.
std::optional<std::string> CrackUrlPath(std::string_view url);
// Where the download of `url` is saved; `separator` is the file system's.
std::string DownloadSavePath(const DownloadJob& job, std::string_view url,
                             std::string_view fileName, char separator);
// True when the part after the save folder climbs out of it ("..").
bool LeavesSaveFolder(std::string_view savePath, std::string_view saveFolder);
// First of "x(1).jpg", "x(2).jpg", ... that does not exist; split at the path's last ".".
std::string RenamedSavePath(platform::FileSystem& files, std::string_view savePath);

struct DownloadServices {
  platform::FileSystem& files;
  platform::Http& http;
  std::function<void()> waitOneSecond;  // the interval countdown's step
};

// One run: scans every listed file, downloads each new URL part and reports
// each step; PostFinished last.
void RunDownload(DownloadServices services, const DownloadJob& job, StatusSink& sink);

}  // namespace tools
