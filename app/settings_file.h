#pragma once
#include <string>

#include "app/shared_state.h"
#include "platform/platform.h"

// The settings file (Config/i.ini under the current directory) and the paths
// the program derives at start.
namespace app {

inline constexpr char kSettingsSection[] = "配置";
inline constexpr char kKeyStartWithWindows[] = "Hi";
inline constexpr char kKeySyncTasks[] = "Tb";
inline constexpr char kKeyRememberPassword[] = "Hp";
inline constexpr char kKeyAutoSignIn[] = "Tp";
inline constexpr char kKeyAutoUpdate[] = "Up";

// The paths from the current directory. Windows (separator "\"): every "\" of the
// directory doubled and the file names joined with doubled separators too, as the
// system has always accepted them; elsewhere plain "/" paths. An empty directory
// (one that could not be read) counts as ".". The version is the decimal text of
// the major version.
AppPaths DeriveAppPaths(const std::string& currentDirectory, char separator, int osMajorVersion);

// DeriveAppPaths with what the services report.
AppPaths DeriveAppPaths(platform::Platform& services);

// The start-up reading: the five flags from the settings file when it exists
// ("Up" defaulting to 1), else all off but autoUpdate. Never creates the file.
AppSettings ReadSettingsAtStart(platform::Platform& services, const AppPaths& paths);

// The folder part of a file path: the text before its last separator, without
// the doubled separator's other half. Empty when there is no separator.
std::string FolderOf(const std::string& path, char separator);

// Creates the folder of a settings or account file (one level) when it is
// missing, before the first write there. A failure shows in the writes that follow.
void CreateFolderOf(platform::FileSystem& files, const std::string& path);

// Writes one flag as "1" or "0"; false when the write failed (callers ignore it).
bool WriteSettingsFlag(platform::ProfileFiles& profiles, const AppPaths& paths, const char* key,
                       int value);

}  // namespace app
