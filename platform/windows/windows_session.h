#pragma once
#include "platform/autostart.h"
#include "platform/instance_lock.h"
#include "platform/sound.h"
#include "platform/system_info.h"

// The small per-session services: log-on entry, instance lock, sound, version.
namespace platform::windows {

// The value `name` under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
class WindowsAutostart : public Autostart {
 public:
  bool Set(const std::string& name, const std::string& commandLine) override;
  bool Remove(const std::string& name) override;
};

// A named mutex, owned by the first instance for the life of the process.
class WindowsInstanceLock : public InstanceLock {
 public:
  WindowsInstanceLock() = default;
  WindowsInstanceLock(const WindowsInstanceLock&) = delete;
  WindowsInstanceLock& operator=(const WindowsInstanceLock&) = delete;
  ~WindowsInstanceLock() override;
  bool Acquire(const std::string& name) override;
  bool HeldElsewhere(const std::string& name) override;

 private:
  void* mutex_ = nullptr;
};

// WAVE resources of the running executable.
class WindowsSound : public Sound {
 public:
  void PlayLooped(int waveResourceId) override;
  void Stop() override;
};

class WindowsSystemInfo : public SystemInfo {
 public:
  int OsMajorVersion() override;
};

}  // namespace platform::windows
