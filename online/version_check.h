#pragma once
#include <string>

#include "ui/dialog.h"

// The version check the sign-in page runs when it reaches the server, and the
// update it may start: fetch the updater when it is missing, start it with the
// product's download query, end the program.
namespace online {

enum class UpdateKind {
  None,   // the server names the running version
  Minor,  // the latest version contains the running version's prefix
  Major,  // anything else, an empty reply included
};

// The latest version in a joined version reply: field 0, split on "|", of the
// text before the first "^".
std::string LatestVersion(const std::string& reply);
UpdateKind ClassifyUpdate(const std::string& latest, const std::string& running,
                          const std::string& runningPrefix);

// Where the updater lives and where it is fetched to.
struct UpdaterPaths {
  std::string installed;       // beside the program
  std::string presentCheck;    // the same file, relative to the current directory
  std::string downloadTarget;  // a temporary copy
};

// On Windows (separator "\") "%s\%s.exe" in the program's directory, "%s.exe",
// and "C:\%s.exe"; elsewhere the name without ".exe", and the temporary copy in
// `temporaryFolder`.
UpdaterPaths UpdaterPathsFor(const std::string& appDirectory, const std::string& updaterName,
                             char separator, const std::string& temporaryFolder);

// The user's temporary folder: TMPDIR when set, else /tmp.
std::string UserTemporaryFolder();

enum class VersionCheckResult {
  Continue,  // no update, declined, or abandoned: the sign-in page goes on
  Offline,   // the version query failed: the page goes on without the server
  Quitting,  // the updater started or the user refused a major update: exit 18 is posted
};

// Runs the check with `owner` owning its message boxes. On Offline it has
// already set serverReachable to 0; the caller disables what needs the server.
VersionCheckResult RunVersionCheck(ui::Dialog& owner);

}  // namespace online
