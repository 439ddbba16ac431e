#include "platform/windows/win32.h"

#include <cstdio>

#include "platform/windows/windows_platform.h"
#include "program/desktop.h"
#include "ui/backend/win32/win32_backend.h"

namespace {

// Raw Win32 with the services of the Windows machine.
class Win32Desktop : public DesktopBackend {
 public:
  explicit Win32Desktop(std::unique_ptr<ui::win32::Win32Backend> port) : port_(std::move(port)) {}
  ui::Backend& backend() override { return *port_; }
  ui::UserActions& user() override { return *port_; }
  platform::Platform& services() override { return services_.Get(); }

 private:
  // The services outlive the port: windows that go with it may still wait
  // for workers that use them.
  platform::windows::WindowsPlatform services_;
  std::unique_ptr<ui::win32::Win32Backend> port_;
};

}  // namespace

std::unique_ptr<DesktopBackend> DesktopBackend::Make(int&, char**&, std::string&) {
  // Orvane.exe is a windowed program: started from a console (a scenario run),
  // it writes its report there.
  if (!GetStdHandle(STD_OUTPUT_HANDLE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
  return std::make_unique<Win32Desktop>(ui::win32::CreateWin32Backend());
}
