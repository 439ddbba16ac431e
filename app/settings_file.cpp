#include "app/settings_file.h"

#include <memory>

#include "platform/text_codec.h"

namespace app {

namespace {

// Doubles each "\" that is a character of its own, never the trail byte of a
// double-byte character.
std::string DoubleBackslashes(const std::string& path) {
  std::string doubled;
  doubled.reserve(path.size() * 2);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (text::IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      doubled += path[i++];
      doubled += path[i];
    } else {
      doubled += path[i];
      if (path[i] == '\\') doubled += '\\';
    }
  }
  return doubled;
}

}  // namespace

AppPaths DeriveAppPaths(const std::string& currentDirectory, char separator, int osMajorVersion) {
  AppPaths paths;
  // A current directory that cannot be read must not turn the files into
  // "/Config/..." at the root (or "\\Config\..." on a network share).
  const std::string directory = currentDirectory.empty() ? "." : currentDirectory;
  if (separator == '\\') {
    paths.appDirectory = DoubleBackslashes(directory);
    paths.settingsPath = paths.appDirectory + "\\\\Config\\\\i.ini";
    paths.accountPath = paths.appDirectory + "\\\\Config\\\\q.ini";
  } else {
    paths.appDirectory = directory;
    paths.settingsPath = paths.appDirectory + "/Config/i.ini";
    paths.accountPath = paths.appDirectory + "/Config/q.ini";
  }
  paths.osMajorVersion = std::to_string(osMajorVersion);
  return paths;
}

AppPaths DeriveAppPaths(platform::Platform& services) {
  return DeriveAppPaths(services.files.CurrentDirectory(), services.files.Separator(),
                        services.systemInfo.OsMajorVersion());
}

AppSettings ReadSettingsAtStart(platform::Platform& services, const AppPaths& paths) {
  AppSettings settings;
  if (!services.files.Exists(paths.settingsPath)) {
    settings.autoUpdate = 1;
    return settings;
  }
  const std::unique_ptr<platform::ProfileReader> file = services.profiles.Read(paths.settingsPath);
  auto read = [&](const char* key, int defaultValue) {
    return file->GetInt(kSettingsSection, key, defaultValue);
  };
  settings.startWithWindows = read(kKeyStartWithWindows, 0);
  settings.syncTasks = read(kKeySyncTasks, 0);
  settings.rememberPassword = read(kKeyRememberPassword, 0);
  settings.autoSignIn = read(kKeyAutoSignIn, 0);
  settings.autoUpdate = read(kKeyAutoUpdate, 1);
  return settings;
}

std::string FolderOf(const std::string& path, char separator) {
  // Where the last run of separators begins; a trail byte is never one.
  std::size_t cut = std::string::npos;
  bool inRun = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (text::IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
      inRun = false;
    } else if (path[i] == separator) {
      if (!inRun) cut = i;
      inRun = true;
    } else {
      inRun = false;
    }
  }
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

void CreateFolderOf(platform::FileSystem& files, const std::string& path) {
  const std::string folder = FolderOf(path, files.Separator());
  if (!folder.empty() && !files.Exists(folder)) files.CreateDirectory(folder);
}

bool WriteSettingsFlag(platform::ProfileFiles& profiles, const AppPaths& paths, const char* key,
                       int value) {
  return profiles.WriteString(kSettingsSection, key, value ? "1" : "0", paths.settingsPath);
}

}  // namespace app
