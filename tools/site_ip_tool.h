#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/shell.h"

namespace tools {

// The site IP tool the tools page fetches from the vendor server once and
// keeps in a "Store" folder under the current directory.
inline constexpr const char* kSiteIpToolLabel = "网站IP获取";
inline constexpr const char* kSiteIpToolName = "DomainName";

// Where the tool lives and travels, for a file system: on Windows the
// program's names (…\Store\DomainName.exe, downloaded to C:\DomainName.exe);
// elsewhere without ".exe", downloaded to the user's temporary folder.
struct SiteIpToolPaths {
  std::string stored;       // the stored program
  std::string storeFolder;  // the folder it is stored in
  std::string download;     // the download target
  std::string stray;        // a copy in the current directory, removed
};
SiteIpToolPaths SiteIpToolPathsFor(platform::FileSystem& files);

// What a choice of the tool came to.
enum class SiteIpToolOutcome {
  Started,         // stored already, or fetched and stored: then started
  RequestThrew,    // "网络连接异常！", then "网络连接失败！"
  NoReply,         // "网络连接失败！"
  DownloadFailed,  // nothing complete arrived: nothing stored or started
  StoreFailed,     // the download could not be put in the store folder
};

// The tool's start, fetching it first when the store has none. A download
// that did not complete is never moved nor started.
SiteIpToolOutcome LaunchSiteIpTool(platform::FileSystem& files, platform::Http& http,
                                   platform::Shell& shell);

}  // namespace tools
