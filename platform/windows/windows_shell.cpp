#include "platform/windows/windows_shell.h"

#include "platform/windows/win32.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <vector>

#include "platform/windows/wide_text.h"

namespace platform::windows {

bool WindowsShell::Open(const std::string& target, const std::string& parameters) {
  const std::wstring file = Wide(target);
  const std::wstring params = Wide(parameters);
  const HINSTANCE result =
      ShellExecuteW(nullptr, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(),
                    nullptr, SW_SHOWNORMAL);
  // Values above 32 mean success.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool WindowsShell::Exec(const std::string& commandLine) {
  // WinExec has only an ANSI form; this is what it does, with wide text so a
  // GBK command line survives whatever the ANSI code page is.
  std::wstring line = Wide(commandLine);
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return true;
}

}  // namespace platform::windows
