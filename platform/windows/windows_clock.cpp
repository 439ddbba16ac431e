#include "platform/windows/windows_clock.h"

#include "platform/windows/win32.h"

namespace platform::windows {

std::uint32_t WindowsClock::TickCount() {
  return GetTickCount();
}

LocalTime WindowsClock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.dayOfWeek = st.wDayOfWeek;
  t.milliseconds = st.wMilliseconds;
  return t;
}

std::uint32_t WindowsInputIdle::LastInputTick() {
  LASTINPUTINFO info{};
  info.cbSize = sizeof(info);
  // Without an answer, count the user as active now rather than idle forever.
  if (!GetLastInputInfo(&info)) return GetTickCount();
  return info.dwTime;
}

}  // namespace platform::windows
