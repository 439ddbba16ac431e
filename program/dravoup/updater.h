#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/instance_lock.h"
#include "platform/shell.h"
#include "program/dravoup/update_parameters.h"

// The steps of one update: wait for the program to end, fetch the new one
// beside it, check it, put it in the old one's place and start it. Each step
// that fails leaves the old program where it was, startable.
namespace dravoup {

// The lock the running program holds for its life, and the updater's own.
inline constexpr const char* kProgramLockName = "DravoOV";
inline constexpr const char* kUpdaterLockName = "DravoUP";

struct UpdaterServices {
  platform::FileSystem& files;
  platform::Http& http;
  platform::InstanceLock& lock;
  platform::Shell& shell;
};

enum class UpdateFailure {
  None,
  BadParameters,
  ProgramMissing,
  StillRunning,
  ServerUnreachable,
  NoAddress,
  DownloadFailed,
  ChecksumMismatch,
  NotReplaced,
  StartFailed,  // the new program is in place; only its start failed
};

// What the window says about a failure (GBK).
std::string FailureText(UpdateFailure failure);

class Updater {
 public:
  // `programPath` is the program's executable (GBK), empty when none was found.
  Updater(UpdaterServices services, UpdateParameters parameters, std::string programPath);

  const std::string& ProgramPath() const { return program_; }
  // The new program while it is fetched and checked, and the old one after
  // the replacement.
  std::string DownloadPath() const { return program_ + ".new"; }
  std::string BackupPath() const { return program_ + ".bak"; }

  // Whether the program is still running (holds its lock).
  bool ProgramRunning();
  // Asks for the download address, downloads the new program to DownloadPath()
  // and checks it. On failure nothing of it is left.
  UpdateFailure Fetch();
  // Replaces the program with what Fetch got, keeping the old one as the backup.
  // A failure keeps the download for another try.
  UpdateFailure Install();
  // Removes what Fetch got, when it will not be installed.
  void Abandon();
  // Starts the program (the new one, after Install).
  UpdateFailure Start();

 private:
  UpdateFailure Discard(UpdateFailure failure);

  UpdaterServices services_;
  UpdateParameters parameters_;
  std::string program_;
};

}  // namespace dravoup
