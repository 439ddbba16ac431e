#pragma once
#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "platform/platform.h"
#include "platform/windows/windows_clock.h"
#include "platform/windows/windows_http.h"
#include "platform/windows/windows_power.h"
#include "platform/windows/windows_processes.h"
#include "platform/windows/windows_session.h"
#include "platform/windows/windows_shell.h"

namespace platform::windows {

// Every service of the Windows program.
//
// Profile files go through our own reader and writer rather than
// GetPrivateProfileStringA and friends: the bytes and answers are the same
// (the differential tests hold them to it), but the path no longer depends on
// the ANSI code page and a write never leaves a torn file.
class WindowsPlatform {
 public:
  WindowsPlatform() = default;
  WindowsPlatform(const WindowsPlatform&) = delete;
  WindowsPlatform& operator=(const WindowsPlatform&) = delete;

  Platform& Get() { return platform_; }

 private:
  WindowsClock clock_;
  StdFileSystem files_;
  IniProfileFiles profiles_{files_};
  WindowsPower power_;
  WindowsProcesses processes_;
  WindowsShell shell_;
  WindowsInputIdle idle_;
  WindowsSound sound_;
  WindowsHttp http_;
  WindowsAutostart autostart_;
  WindowsInstanceLock instanceLock_;
  WindowsSystemInfo systemInfo_;
  Platform platform_{clock_, files_, profiles_, power_,     processes_,    shell_,
                     idle_,  sound_, http_,     autostart_, instanceLock_, systemInfo_};
};

}  // namespace platform::windows
