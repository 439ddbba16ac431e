#pragma once
#include "platform/autostart.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/http.h"
#include "platform/idle.h"
#include "platform/instance_lock.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "platform/system_info.h"

namespace platform {

// Every service the program asks of the system, handed to it once at start.
// The implementations are owned elsewhere (the program's entry or a test).
struct Platform {
  Clock& clock;
  FileSystem& files;
  ProfileFiles& profiles;
  Power& power;
  Processes& processes;
  Shell& shell;
  InputIdle& idle;
  Sound& sound;
  Http& http;
  Autostart& autostart;
  InstanceLock& instanceLock;
  SystemInfo& systemInfo;
};

}  // namespace platform
