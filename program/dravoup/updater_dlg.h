#pragma once
#include <optional>
#include <string>

#include "program/dravoup/updater.h"
#include "ui/dialog.h"

namespace dravoup {

// How a run of the updater ends, as its exit code.
enum UpdaterExit {
  kUpdated = 0,         // the new program is in place and started
  kNotUpdated = 1,      // a failure, shown in the window; or the user cancelled
  kAlreadyRunning = 3,  // another updater is at work
};

// Registers the updater's window template.
void RegisterUpdaterTemplate();

// The updater's window: says what it is doing, step by step, and why it
// stopped when a step fails.
class CUpdaterDlg : public ui::Dialog {
 public:
  // How long the program gets to end before the updater gives up.
  static constexpr int kWaitForProgramMs = 30000;
  static constexpr int kPollMs = 250;
  // The status is painted before each step that makes the window wait.
  static constexpr int kPaintPauseMs = 50;
  // The program's executable may stay locked a moment after it has let go of
  // its lock (Windows unmaps the image as the process ends): the replacement
  // is tried this often, this far apart.
  static constexpr int kInstallAttempts = 6;
  static constexpr int kInstallRetryMs = 500;
  // A failure stays on screen this long unless the window is closed first.
  static constexpr int kFailureShownMs = 60000;

  // `parameters` empty when the parameter text was refused.
  CUpdaterDlg(UpdaterServices services, std::optional<UpdateParameters> parameters,
              std::string programPath);

  UpdateFailure Failure() const { return failure_; }

 protected:
  bool OnInitDialog() override;
  void OnTimer(int timerId) override;
  void OnCancel() override;

 private:
  enum class Phase { Waiting, Fetching, Installing, Stopped };
  static constexpr int kStepTimer = 1;
  static constexpr int kCloseTimer = 2;

  void CloseClicked();
  void Continue(Phase next, const char* status);
  void Stop(UpdateFailure failure);

  std::optional<Updater> updater_;
  Phase phase_ = Phase::Waiting;
  int waitedMs_ = 0;
  int installAttempts_ = 0;
  UpdateFailure failure_ = UpdateFailure::None;
};

// The whole run: refuses a second updater, else shows the window until the
// update ends. Answers the exit code.
int RunUpdater(UpdaterServices services, const std::string& parameterText,
               const std::string& programPath);

}  // namespace dravoup
