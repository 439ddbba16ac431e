// DravoUP: started by the program's version check with one argument, the
// parameter text "DOMAIN|Orvane|QUERY", from the folder the program runs in.
// "--scenario FILE" before it acts as the user from FILE (docs/scenarios.md)
// and answers whether every expectation held.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "program/desktop.h"
#include "program/dravoup/updater_dlg.h"
#include "ui/backend.h"
#include "ui/dialog.h"
#include "ui/scenario.h"

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

  ui::ScenarioRunner runner(desktop->backend(), desktop->user());
  int first = 1;
  const bool scripted = argc >= 3 && !std::strcmp(argv[1], "--scenario");
  if (scripted) {
    if (!runner.LoadFile(argv[2])) {
      std::fprintf(stderr, "%s\n", runner.Report().c_str());
      return 2;
    }
    desktop->user().SetScript(&runner);
    first = 3;
  }

  platform::Platform& system = desktop->services();
  // Anything but the one parameter text is refused in the window.
  const std::string parameters = argc == first + 1 ? argv[first] : "";
  const int code =
      dravoup::RunUpdater({system.files, system.http, system.instanceLock, system.shell},
                          parameters, FindProgram(system.files));
  if (scripted) {
    runner.FinishAfterExit(code);
    desktop->user().SetScript(nullptr);
    std::fprintf(runner.Failed() ? stderr : stdout, "%s\n", runner.Report().c_str());
  }
  ui::Backend::SetCurrent(nullptr);
  if (scripted) return runner.Failed() ? 1 : 0;
  return code;
}
