#include "platform/windows/windows_processes.h"

#include "platform/windows/win32.h"
// After windows.h, which it needs.
#include <tlhelp32.h>

#include "platform/windows/wide_text.h"

namespace platform::windows {

std::vector<ProcessEntry> WindowsProcesses::Snapshot() {
  std::vector<ProcessEntry> result;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return result;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    result.push_back({static_cast<std::uint32_t>(entry.th32ProcessID), Narrow(entry.szExeFile)});
  }
  CloseHandle(snapshot);
  return result;
}

bool WindowsProcesses::Terminate(std::uint32_t pid, unsigned exitCode) {
  HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
  if (!process) return false;
  const bool ok = TerminateProcess(process, exitCode) != 0;
  CloseHandle(process);
  return ok;
}

}  // namespace platform::windows
