#include "platform/linux/linux_platform.h"

namespace platform::linuxos {

LinuxPlatform::LinuxPlatform()
    : platform_{clock_, files_, profiles_, power_,     processes_,    shell_,
                idle_,  sound_, http_,     autostart_, instanceLock_, systemInfo_} {}

}  // namespace platform::linuxos
