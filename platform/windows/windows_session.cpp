#include "platform/windows/windows_session.h"

#include "platform/windows/win32.h"
// After windows.h, which it needs.
#include <mmsystem.h>

#include "platform/windows/wide_text.h"

namespace platform::windows {

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr REGSAM kRunAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

}  // namespace

bool WindowsAutostart::Set(const std::string& name, const std::string& commandLine) {
  HKEY key = nullptr;
  // The key path is ASCII, so the ANSI call is safe; the value goes in wide.
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, kRunAccess,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring valueName = Wide(name);
  const std::wstring value = Wide(commandLine);
  const LONG status = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool WindowsAutostart::Remove(const std::string& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, kRunAccess, &key) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring valueName = Wide(name);
  const LONG status = RegDeleteValueW(key, valueName.c_str());
  RegCloseKey(key);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

WindowsInstanceLock::~WindowsInstanceLock() {
  if (mutex_) CloseHandle(static_cast<HANDLE>(mutex_));
}

bool WindowsInstanceLock::Acquire(const std::string& name) {
  if (mutex_) return true;
  const std::wstring wideName = Wide(name);
  HANDLE mutex = CreateMutexW(nullptr, TRUE, wideName.c_str());
  // Denied access means another instance made it (another user's elevated
  // one); any other failure says nothing of other instances, and refusing the
  // start would tell the user "already open" of a program that is not.
  if (!mutex) return GetLastError() != ERROR_ACCESS_DENIED;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  mutex_ = mutex;
  return true;
}

bool WindowsInstanceLock::HeldElsewhere(const std::string& name) {
  // A named mutex lives as long as some process has a handle on it.
  const std::wstring wideName = Wide(name);
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, wideName.c_str());
  if (mutex) {
    CloseHandle(mutex);
    return true;
  }
  // Denied access still means it exists (another user's elevated instance).
  return GetLastError() == ERROR_ACCESS_DENIED;
}

void WindowsSound::PlayLooped(int waveResourceId) {
  // Without a sound device PlaySound fails quietly, as it should here.
  PlaySoundW(MAKEINTRESOURCEW(waveResourceId), GetModuleHandleW(nullptr),
             SND_RESOURCE | SND_ASYNC | SND_LOOP | SND_NODEFAULT);
}

void WindowsSound::Stop() {
  PlaySoundW(nullptr, nullptr, 0);
}

int WindowsSystemInfo::OsMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExA(&info)) return 10;
  return static_cast<int>(info.dwMajorVersion);
}

}  // namespace platform::windows
