#pragma once
#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "platform/linux/curl_http.h"
#include "platform/linux/linux_autostart.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_idle.h"
#include "platform/linux/linux_instance_lock.h"
#include "platform/linux/linux_power.h"
#include "platform/linux/linux_processes.h"
#include "platform/linux/linux_shell.h"
#include "platform/linux/linux_sound.h"
#include "platform/linux/linux_system_info.h"
#include "platform/platform.h"

namespace platform::linuxos {

// Every service of a Linux desktop, owned in one place for the program's entry.
class LinuxPlatform {
 public:
  LinuxPlatform();
  LinuxPlatform(const LinuxPlatform&) = delete;
  LinuxPlatform& operator=(const LinuxPlatform&) = delete;

  Platform& Get() { return platform_; }

 private:
  LinuxClock clock_;
  StdFileSystem files_;
  IniProfileFiles profiles_{files_};
  LinuxPower power_;
  LinuxProcesses processes_;
  LinuxShell shell_;
  LinuxIdle idle_{clock_};
  LinuxSound sound_;
  CurlHttp http_;
  LinuxAutostart autostart_;
  LinuxInstanceLock instanceLock_;
  LinuxSystemInfo systemInfo_;
  Platform platform_;
};

}  // namespace platform::linuxos
