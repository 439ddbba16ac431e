// DravoUP: started by the program's version check with one argument, the
// parameter text "DOMAIN|Orvane|QUERY", from the folder the program runs in.
#include <cstdio>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "program/desktop.h"
#include "program/dravoup/updater_dlg.h"
#include "ui/backend.h"
#include "ui/dialog.h"

namespace {

// The program's executable beside the updater; empty when there is none.
std::string FindProgram(platform::FileSystem& files) {
  const std::string folder = files.ExecutableDirectory();
  if (folder.empty()) return {};
#ifdef _WIN32
  const char* names[] = {"Orvane.exe"};
#else
  const char* names[] = {"orvane", "Orvane"};
#endif
  for (const char* name : names) {
    const std::string path = folder + files.Separator() + name;
    if (files.Exists(path) && !files.IsDirectory(path)) return path;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  std::string why;
  std::unique_ptr<DesktopBackend> desktop = DesktopBackend::Make(argc, argv, why);
  if (!desktop) {
    std::fprintf(stderr, "DravoUP: %s\n", why.c_str());
    return 2;
  }
  ui::Backend::SetCurrent(&desktop->backend());
  dravoup::RegisterUpdaterTemplate();

  platform::Platform& system = desktop->services();
  // Anything but the one parameter text is refused in the window.
  const std::string parameters = argc == 2 ? argv[1] : "";
  const int code =
      dravoup::RunUpdater({system.files, system.http, system.instanceLock, system.shell},
                          parameters, FindProgram(system.files));
  ui::Backend::SetCurrent(nullptr);
  return code;
}
