#include "platform/sim/virtual_clock.h"

#include <chrono>

namespace platform::sim {

namespace {

using namespace std::chrono;

std::int64_t ToMs(const LocalTime& t) {
  const sys_days day = year_month_day{year{t.year}, month{static_cast<unsigned>(t.month)},
                                      std::chrono::day{static_cast<unsigned>(t.day)}};
  return duration_cast<milliseconds>(day.time_since_epoch()).count() +
         ((t.hour * 60LL + t.minute) * 60LL + t.second) * 1000LL + t.milliseconds;
}

LocalTime FromMs(std::int64_t ms) {
  const sys_time<milliseconds> point{milliseconds{ms}};
  const sys_days day = floor<days>(point);
  const year_month_day ymd{day};
  const hh_mm_ss hms{point - day};
  LocalTime t;
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  t.hour = static_cast<int>(hms.hours().count());
  t.minute = static_cast<int>(hms.minutes().count());
  t.second = static_cast<int>(hms.seconds().count());
  t.milliseconds = static_cast<int>(hms.subseconds().count());
  t.dayOfWeek = static_cast<int>(weekday{day}.c_encoding());
  return t;
}

}  // namespace

VirtualClock::VirtualClock() {
  // A fixed, ordinary start: Thursday 10 December 2026, 09:00:00.
  SetLocalTime(LocalTime{2026, 12, 10, 9, 0, 0, 4, 0});
}

LocalTime VirtualClock::Now() {
  return FromMs(wallBaseMs_ + static_cast<std::int64_t>(elapsedMs_ - wallBaseElapsed_));
}

void VirtualClock::SetLocalTime(const LocalTime& time) {
  wallBaseMs_ = ToMs(time);
  wallBaseElapsed_ = elapsedMs_;
}

}  // namespace platform::sim
