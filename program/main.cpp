// The program's entry: chooses the window system and the services, then runs
// the program, or a scenario over it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/sim/sim_platform.h"
#include "program/desktop.h"
#include "program/entry.h"
#include "program/scenario_commands.h"
#include "resources/templates/templates.h"
#include "ui/backend/headless/headless_backend.h"
#include "ui/scenario.h"

namespace {

struct Options {
  bool headless = false;
  bool gallery = false;
  std::string scenario;
};

constexpr char kUsage[] = "usage: orvane [--gallery] [--headless] [--scenario FILE]";

void PrintUsage() {
  std::printf(
      "%s\n"
      "  --gallery         open the gallery of controls instead of the program\n"
      "  --headless        run in memory, with simulated services and a virtual clock\n"
      "  --scenario FILE   act as the user from FILE and check what it expects\n"
      "                    (exit 0 when every expectation held)\n",
      kUsage);
}

// A mistyped option must not start the program as if it had not been given.
int UsageError(const std::string& why) {
  std::fprintf(stderr, "orvane: %s\n%s\n", why.c_str(), kUsage);
  return 2;
}

// Runs the entry with the scenario (if any) as the user; answers the exit code.
int Run(ui::Backend& backend, ui::UserActions& user, const Options& options,
        platform::sim::SimPlatform* sim) {
  ui::Backend::SetCurrent(&backend);
  resources::RegisterTemplates();

  if (options.scenario.empty()) {
    const int code = RunEntry(options.gallery ? "gallery" : "main");
    ui::Backend::SetCurrent(nullptr);
    return code;
  }

  ui::ScenarioRunner runner(backend, user);
  // Screenshots named without a folder go beside the program (in a build,
  // under build/), not into whatever folder the run was started from.
  platform::FileSystem& files = app::Services().files;
  const std::string programFolder = files.ExecutableDirectory();
  if (!programFolder.empty()) runner.SetScreenshotFolder(programFolder + files.Separator());
  AddProgramCommands(runner, sim);
  if (!runner.LoadFile(options.scenario)) {
    std::fprintf(stderr, "%s\n", runner.Report().c_str());
    return 2;
  }
  if (!runner.RunSetup()) {
    std::fprintf(stderr, "%s\n", runner.Report().c_str());
    return 1;
  }
  user.SetScript(&runner);
  const std::string entry = options.gallery ? "gallery" : runner.StartEntry();
  const int code = RunEntry(entry);
  if (code == -1 && entry != "main" && entry != "gallery") {
    std::fprintf(stderr, "%s: unknown entry \"%s\"\n", options.scenario.c_str(), entry.c_str());
    return 2;
  }
  runner.FinishAfterExit(code);
  user.SetScript(nullptr);
  ui::Backend::SetCurrent(nullptr);
  std::fprintf(runner.Failed() ? stderr : stdout, "%s\n", runner.Report().c_str());
  return runner.Failed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--headless")) {
      options.headless = true;
    } else if (!std::strcmp(argv[i], "--gallery")) {
      options.gallery = true;
    } else if (!std::strcmp(argv[i], "--scenario")) {
      if (i + 1 == argc) return UsageError("--scenario needs a file");
      options.scenario = argv[++i];
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      PrintUsage();
      return 0;
    } else if (argv[i][0] == '-') {
      return UsageError(std::string("unknown option ") + argv[i]);
    } else {
      return UsageError(std::string("unexpected argument ") + argv[i]);
    }
  }

  app::SharedStateScope state;
  if (options.headless) {
    platform::sim::SimPlatform sim;
    app::ServicesScope services(sim.Get());
    ui::headless::HeadlessBackend backend(sim.Clock());
    return Run(backend, backend, options, &sim);
  }

  std::string why;
  std::unique_ptr<DesktopBackend> desktop = DesktopBackend::Make(argc, argv, why);
  if (!desktop) {
    std::fprintf(stderr, "orvane: %s\n", why.c_str());
    return 2;
  }
  app::ServicesScope services(desktop->services());
  return Run(desktop->backend(), desktop->user(), options, nullptr);
}
