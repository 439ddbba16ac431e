#include "platform/linux/linux_clock.h"

#include <time.h>

namespace platform::linuxos {

std::uint32_t LinuxClock::TickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  // Wraps after 49.7 days, as the Windows tick count does.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

LocalTime LinuxClock::Now() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  ::localtime_r(&now.tv_sec, &local);
  LocalTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second reads as :59
  t.dayOfWeek = local.tm_wday;
  t.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  return t;
}

}  // namespace platform::linuxos
