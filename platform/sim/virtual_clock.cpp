#include "platform/sim/virtual_clock.h"

namespace platform::sim {

namespace {

// Civil-calendar arithmetic on day numbers since 1970-01-01 (proleptic
// Gregorian). <chrono>'s calendar types are out of reach here: that header
// holds a literal the GBK execution character set cannot encode.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr std::int64_t kMsPerDay = 86400000;

std::int64_t ToMs(const LocalTime& t) {
  const std::int64_t days =
      DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
  return days * kMsPerDay + ((t.hour * 60LL + t.minute) * 60LL + t.second) * 1000LL +
         t.milliseconds;
}

LocalTime FromMs(std::int64_t ms) {
  std::int64_t days = ms / kMsPerDay;
  std::int64_t rest = ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --days;
  }
  LocalTime t;
  CivilFromDays(days, t.year, t.month, t.day);
  t.hour = static_cast<int>(rest / 3600000);
  t.minute = static_cast<int>(rest / 60000 % 60);
  t.second = static_cast<int>(rest / 1000 % 60);
  t.milliseconds = static_cast<int>(rest % 1000);
  t.dayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
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
