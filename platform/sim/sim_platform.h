#pragma once
#include "platform/files/std_file_system.h"
#include "platform/ini_profile_files.h"
#include "platform/platform.h"
#include "platform/sim/call_log.h"
#include "platform/sim/sim_autostart.h"
#include "platform/sim/sim_http.h"
#include "platform/sim/sim_idle.h"
#include "platform/sim/sim_instance_lock.h"
#include "platform/sim/sim_power.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_sound.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/virtual_clock.h"

namespace platform::sim {

// Every service for a test: a virtual clock, the real file system and profile
// files (tests work in temp folders), and simulated services that record each
// call in one log and answer what the test scripted.
class SimPlatform {
 public:
  SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  Platform& Get() { return platform_; }

  CallLog& Log() { return log_; }
  VirtualClock& Clock() { return clock_; }
  StdFileSystem& Files() { return files_; }
  IniProfileFiles& Profiles() { return profiles_; }
  SimPower& Power() { return power_; }
  SimProcesses& Processes() { return processes_; }
  SimShell& Shell() { return shell_; }
  SimIdle& Idle() { return idle_; }
  SimSound& Sound() { return sound_; }
  SimHttp& Http() { return http_; }
  SimAutostart& Autostart() { return autostart_; }
  SimInstanceLock& InstanceLock() { return instanceLock_; }
  SimSystemInfo& SystemInfo() { return systemInfo_; }

 private:
  CallLog log_;
  VirtualClock clock_;
  StdFileSystem files_;
  IniProfileFiles profiles_{files_};
  SimPower power_{log_};
  SimProcesses processes_{log_};
  SimShell shell_{log_};
  SimIdle idle_{clock_};
  SimSound sound_{log_};
  SimHttp http_{log_, files_};
  SimAutostart autostart_{log_};
  SimInstanceLock instanceLock_{log_};
  SimSystemInfo systemInfo_;
  Platform platform_;
};

}  // namespace platform::sim
