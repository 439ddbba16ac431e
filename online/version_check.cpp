#include "online/version_check.h"

#include <cstdlib>

#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "online/server_request.h"
#include "online/server_text.h"

namespace online {

namespace {

constexpr int kQuitCode = 18;
constexpr char kUpdateCaption[] = "版本更新";
constexpr char kMinorQuestion[] = "有新版本啦，立即自动更新？";
constexpr char kMajorQuestion[] = "有新版本啦，请立即更新！是否自动更新？";
constexpr char kUpdaterQueryException[] = "网络连接异常！";
constexpr char kUpdaterUnavailable[] = "网络连接失败！";

// A rename does not cross file systems (the temporary folder is often one of
// its own): copy then, and drop the copy's source.
bool MoveFile(platform::FileSystem& files, const std::string& from, const std::string& to) {
  if (files.Rename(from, to)) return true;
  const std::optional<std::string> bytes = files.ReadFile(from);
  if (!bytes || !files.WriteFileAtomic(to, *bytes)) return false;
  files.Remove(from);
  return true;
}

// Makes sure the updater is beside the program. False, with the user told,
// when it could not be fetched whole: a cut download is never started.
bool FetchUpdater(ui::Dialog& owner, const UpdaterPaths& paths) {
  app::SharedState& shared = app::Shared();
  platform::Platform& services = app::Services();
  const TextReply address = ServerTextRequest(services.http, shared.urls.updaterDownloadQueryUrl);
  if (!address.ok()) {
    if (address.failure == RequestFailure::Exception) owner.MessageBox(kUpdaterQueryException);
    owner.MessageBox(kUpdaterUnavailable);
    return false;
  }
  if (!ServerFileDownload(services.http, services.files, address.Joined(), paths.downloadTarget)) {
    owner.MessageBox(kUpdaterUnavailable);
    return false;
  }
  if (services.files.Exists(paths.presentCheck)) services.files.Remove(paths.presentCheck);
  if (!MoveFile(services.files, paths.downloadTarget, paths.installed)) {
    services.files.Remove(paths.downloadTarget);
    owner.MessageBox(kUpdaterUnavailable);
    return false;
  }
  services.files.MakeExecutable(paths.installed);
  return true;
}

// True when the updater was started and the program is ending.
bool StartUpdate(ui::Dialog& owner) {
  app::SharedState& shared = app::Shared();
  platform::Platform& services = app::Services();
  const UpdaterPaths paths = UpdaterPathsFor(shared.paths.appDirectory, shared.urls.updaterName,
                                             services.files.Separator(), UserTemporaryFolder());
  if (!services.files.Exists(paths.presentCheck) && !FetchUpdater(owner, paths)) return false;
  // What the start answers is not looked at: the program hands over either way.
  services.shell.Open(paths.installed, shared.urls.updaterParameters);
  owner.PostQuitMessage(kQuitCode);
  return true;
}

}  // namespace

std::string LatestVersion(const std::string& reply) {
  return Field(Field(reply, '^', 0), '|', 0);
}

UpdateKind ClassifyUpdate(const std::string& latest, const std::string& running,
                          const std::string& runningPrefix) {
  if (latest == running) return UpdateKind::None;
  return latest.find(runningPrefix) != std::string::npos ? UpdateKind::Minor : UpdateKind::Major;
}

UpdaterPaths UpdaterPathsFor(const std::string& appDirectory, const std::string& updaterName,
                             char separator, const std::string& temporaryFolder) {
  if (separator == '\\') {
    return {appDirectory + "\\" + updaterName + ".exe", updaterName + ".exe",
            "C:\\" + updaterName + ".exe"};
  }
  return {appDirectory + "/" + updaterName, updaterName, temporaryFolder + "/" + updaterName};
}

std::string UserTemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

VersionCheckResult RunVersionCheck(ui::Dialog& owner) {
  app::SharedState& shared = app::Shared();
  platform::Platform& services = app::Services();
  const TextReply reply = ServerTextRequest(services.http, shared.urls.versionQueryUrl);
  if (!reply.ok()) {
    if (reply.failure == RequestFailure::Exception) owner.MessageBox(kExceptionText);
    owner.MessageBox(kNoFileText);
    shared.session.serverReachable = 0;
    return VersionCheckResult::Offline;
  }
  const UpdateKind kind = ClassifyUpdate(LatestVersion(reply.Joined()), shared.urls.productVersion,
                                         shared.urls.productVersionPrefix);
  if (kind == UpdateKind::None) return VersionCheckResult::Continue;

  if (shared.settings.autoUpdate == 0) {
    const int answer = owner.MessageBox(kind == UpdateKind::Minor ? kMinorQuestion : kMajorQuestion,
                                        kUpdateCaption, ui::mb::kYesNo | ui::mb::kIconQuestion);
    if (answer != ui::IDYES) {
      if (kind == UpdateKind::Minor) return VersionCheckResult::Continue;
      owner.PostQuitMessage(kQuitCode);
      return VersionCheckResult::Quitting;
    }
    // Yes once means yes from now on, so the folder must be there to keep it.
    app::CreateFolderOf(services.files, shared.paths.settingsPath);
    app::WriteSettingsFlag(services.profiles, shared.paths, app::kKeyAutoUpdate, 1);
    shared.settings.autoUpdate = 1;
  }
  return StartUpdate(owner) ? VersionCheckResult::Quitting : VersionCheckResult::Continue;
}

}  // namespace online
