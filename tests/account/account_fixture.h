#pragma once
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "app/services.h"
#include "app/settings_file.h"
#include "app/shared_state.h"
#include "online/endpoints.h"
#include "online/http_scenario_commands.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_scenario_commands.h"
#include "platform/text_codec.h"
#include "resources/templates/templates.h"
#include "tests/platform/temp_dir.h"
#include "tests/ui/test_dialogs.h"

namespace accounttest {

// Scripts are UTF-8; the program's texts (and this file's literals) GBK.
inline std::string Utf8(const std::string& gbk) {
  return text::GbkToUtf8(gbk);
}

// Runs in a fresh current directory, as the program does when the pages
// resolve their files, and puts the old one back afterwards.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
  }

 private:
  std::filesystem::path previous_;
};

// The pages on the headless backend with simulated services, the scripted
// vendor server and the shared state as the sign-in page leaves it.
struct Pages {
  testing_support::TempDir dir;
  CurrentDirectory cwd{dir.path()};
  uitest::Harness h;
  platform::sim::SimPlatform sim;
  app::SharedStateScope state;
  app::ServicesScope services{sim.Get()};

  Pages() {
    resources::RegisterTemplates();
    online::AddHttpScenarioCommands(h.runner, &sim);
    platform::sim::AddSimScenarioCommands(h.runner, &sim);
    app::SharedState& shared = app::Shared();
    shared.paths = app::DeriveAppPaths(sim.Get());
    shared.settings = app::ReadSettingsAtStart(sim.Get(), shared.paths);
    online::FillServerUrls(shared.urls);
  }

  // Runs the page modally with the script as its user; the report when
  // something failed, else empty.
  std::string Run(ui::Dialog& page, const std::string& script) {
    if (!h.Script(script)) return h.runner.Report();
    page.DoModal();
    return h.runner.Failed() ? h.runner.Report() : "";
  }

  // How often the simulated services recorded exactly `line`.
  long Calls(const std::string& line) {
    const auto lines = sim.Log().Lines();
    return std::count(lines.begin(), lines.end(), line);
  }

  // The settings file's text, or nullopt when there is none.
  std::optional<std::string> SettingsFile() {
    return sim.Files().ReadFile(app::Shared().paths.settingsPath);
  }
  std::string Setting(const char* key) {
    return sim.Profiles().GetString(app::kSettingsSection, key, "-", 16,
                                    app::Shared().paths.settingsPath);
  }
};

}  // namespace accounttest
