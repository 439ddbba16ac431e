#pragma once
#include <array>
#include <string>

#include "platform/clock.h"
#include "tasks/task_table.h"

// The values every page shares for the life of the process. Pages never hand
// data to each other: they read and write these. Texts are GBK bytes; they
// start empty and integers start at 0 unless a comment says otherwise. Only the
// user-interface thread touches them, so there are no locks.
namespace app {

constexpr int kLoginReplyFieldCount = 13;

// The account session, written by the sign-in page.
struct SessionState {
  int signedIn = 0;         // 1 after a successful sign-in, and for the rest of the run
  int accountLevel = 0;     // reply field 1 of the last successful sign-in
  int serverReachable = 0;  // the sign-in page's probe of the vendor server
  int signInFailures = 0;   // wrong id or password replies since start
  // The fields of the last sign-in reply. Some have names of their own below;
  // they are the same storage, so writing one writes the other.
  std::array<std::string, kLoginReplyFieldCount> loginReply;
  std::string typedId;
  std::string typedPassword;
  std::string loginReplyText;  // the raw reply that loginReply was split from

  std::string& nickname() { return loginReply[2]; }
  std::string& points() { return loginReply[8]; }
  std::string& accountId() { return loginReply[9]; }         // as typed, after success
  std::string& accountPassword() { return loginReply[10]; }  // as typed, after success
  const std::string& nickname() const { return loginReply[2]; }
  const std::string& points() const { return loginReply[8]; }
  const std::string& accountId() const { return loginReply[9]; }
  const std::string& accountPassword() const { return loginReply[10]; }
};

// Five on/off flags, each a key of the settings file.
struct AppSettings {
  int startWithWindows = 0;  // "Hi"
  int syncTasks = 0;         // "Tb"
  int rememberPassword = 0;  // "Hp"
  int autoSignIn = 0;        // "Tp"
  int autoUpdate = 0;        // "Up"; the start-up reading makes it 1 when the file is missing
};

// Derived once at start from the current directory (see settings_file.h).
struct AppPaths {
  std::string appDirectory;
  std::string settingsPath;
  std::string accountPath;
  // Decimal text of the system's major version ("10" on Linux). Tell old systems
  // by its number: as text, "10" sorts below "6".
  std::string osMajorVersion;
};

// Identity texts and address templates of the vendor server, set by the sign-in page.
struct ServerUrls {
  std::string productVersion;
  std::string productVersionPrefix;
  std::string productName;
  std::string updaterName;
  std::string productDownloadQueryUrl;
  std::string updaterDownloadQueryUrl;
  std::string updaterParameters;
  std::string versionQueryUrl;
  std::string signInUrlFormat;
  std::string personalPageUrlFormat;
  std::string instructionsPageUrl;
  std::string navigationPageUrl;
  std::string taskServiceUrl;
};

struct SharedState {
  SessionState session;
  AppSettings settings;
  AppPaths paths;
  ServerUrls urls;

  // Requests between windows.
  int MainWindowRequest = 0;  // 0 hide the main window, 1 show it and rebuild, 2 nothing pending
  int adVisibilityRequest = 0;
  std::string browserPageUrl;

  // ---- Task table and shared task values ----------------------------------
  tasks::TaskTable taskTable;
  tasks::SharedTaskValues taskValues;
  // ---- End of task values -------------------------------------------------

  // ---- Values of single pages ---------------------------------------------
  // Owners of the feedback, registration, advertisement, browser and tools
  // pages add their process-wide values here.

  // Registration: the request template (set when the page opens) and the last reply.
  std::string registrationUrlFormat;
  std::string registrationReply;
  // Feedback: the request template (set when the page opens), the last reply
  // line and its first fields.
  std::string feedbackUrlFormat;
  std::string feedbackReplyText;
  std::array<std::string, 10> feedbackReply;

  // Browser page and its navigation bar: the bar's commands waiting for the
  // page (1 while one waits), whether a navigation page is open, and the
  // page's client size at its last size change.
  int browserHomeRequest = 0;
  int browserBackRequest = 0;
  int browserForwardRequest = 0;
  int browserRefreshRequest = 0;
  int navBarOpen = 0;
  int browserLastClientWidth = 0;
  int browserLastClientHeight = 0;

  // Advertisement window.
  std::string adQueryUrl;
  std::string adRequestUrl;
  std::string adPageUrl;
  int adFetchPending = 0;
  int adShown = 0;                  // what its placement timer does next: 1 show, 0 hide
  platform::LocalTime adLastFetch;  // the last fetch or half-hour occasion
  int adRefetchCount = 0;
  std::array<int, 4> adSlotFired{};  // 11:20, 13:20, 16:30, 20:45 in this run
  // ---- End of page values -------------------------------------------------
};

// The one instance every page sees. A SharedStateScope must be alive.
SharedState& Shared();

// Installs a fresh SharedState for its lifetime (the program's run, or one test)
// and puts back whatever was installed before.
class SharedStateScope {
 public:
  SharedStateScope();
  ~SharedStateScope();
  SharedStateScope(const SharedStateScope&) = delete;
  SharedStateScope& operator=(const SharedStateScope&) = delete;

  SharedState& state() { return state_; }

 private:
  SharedState state_;
  SharedState* previous_;
};

}  // namespace app
