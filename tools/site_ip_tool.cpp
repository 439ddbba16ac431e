#include "tools/site_ip_tool.h"

#include "online/endpoints.h"
#include "online/server_request.h"

namespace tools {

SiteIpToolPaths SiteIpToolPathsFor(platform::FileSystem& files) {
  const char sep = files.Separator();
  const bool windows = sep == '\\';
  const std::string name = std::string(kSiteIpToolName) + (windows ? ".exe" : "");
  SiteIpToolPaths paths;
  paths.storeFolder = files.CurrentDirectory() + sep + "Store";
  paths.stored = paths.storeFolder + sep + name;
  std::string temp = files.TemporaryDirectory();
  if (!temp.empty() && temp.back() == sep) temp.pop_back();
  paths.download = windows ? "C:\\" + name : temp + sep + name;
  paths.stray = name;
  return paths;
}

namespace {

// Into the store: a rename where the two paths share a file system, else a
// copy (the temporary folder is often a file system of its own).
bool MoveIntoStore(platform::FileSystem& files, const std::string& from, const std::string& to) {
  if (files.Rename(from, to)) return true;
  std::optional<std::string> bytes = files.ReadFile(from);
  const bool copied = bytes && files.WriteFileAtomic(to, *bytes);
  files.Remove(from);
  return copied;
}

}  // namespace

SiteIpToolOutcome LaunchSiteIpTool(platform::FileSystem& files, platform::Http& http,
                                   platform::Shell& shell) {
  const SiteIpToolPaths paths = SiteIpToolPathsFor(files);
  if (files.Exists(paths.stored)) {
    shell.Open(paths.stored);
    return SiteIpToolOutcome::Started;
  }
  const online::TextReply reply =
      online::ServerTextRequest(http, online::ServerAddress(online::kSiteIpToolQueryPath));
  if (reply.failure == online::RequestFailure::Exception) return SiteIpToolOutcome::RequestThrew;
  if (!reply.ok()) return SiteIpToolOutcome::NoReply;
  // The reply is the download address as it stands.
  if (!online::ServerFileDownload(http, files, reply.Joined(), paths.download)) {
    return SiteIpToolOutcome::DownloadFailed;
  }
  if (files.Exists(paths.stray)) files.Remove(paths.stray);
  if (!files.IsDirectory(paths.storeFolder)) files.CreateDirectory(paths.storeFolder);
  if (!MoveIntoStore(files, paths.download, paths.stored)) return SiteIpToolOutcome::StoreFailed;
  shell.Open(paths.stored);
  return SiteIpToolOutcome::Started;
}

}  // namespace tools
