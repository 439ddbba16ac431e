#include "platform/windows/windows_power.h"

#include "platform/windows/win32.h"

namespace platform::windows {

bool WindowsPower::EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  if (ok) {
    // AdjustTokenPrivileges succeeds even when the privilege was not granted;
    // only the last error tells.
    ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
         GetLastError() == ERROR_SUCCESS;
  }
  CloseHandle(token);
  return ok;
}

bool WindowsPower::Request(PowerAction action) {
  UINT flags = EWX_LOGOFF;
  switch (action) {
    case PowerAction::Shutdown:
      flags = EWX_POWEROFF;
      break;
    case PowerAction::Restart:
      flags = EWX_REBOOT;
      break;
    case PowerAction::LogOff:
      flags = EWX_LOGOFF;
      break;
  }
  // Never forced: applications keep their say.
  return ExitWindowsEx(flags, 0) != 0;
}

}  // namespace platform::windows
