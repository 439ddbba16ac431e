#pragma once
// Batch tool pages on a port with real files in a temporary folder, driven by
// a scenario: the program's services with our file system (and, where a test
// asks, real HTTP), the port's loop running the script.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/services.h"
#include "app/shared_state.h"
#include "platform/files/std_file_system.h"
#include "platform/linux/curl_http.h"
#include "platform/sim/sim_platform.h"
#include "program/file_scenario_commands.h"
#include "resources/templates/templates.h"
#include "tests/platform/temp_dir.h"
#include "tools/replace_dlg.h"
#include "tools/tool_scenario_commands.h"
#include "ui/scenario.h"

namespace tools_test {

using testing_support::TempDir;

// The real file system with folders listed in name order, so a walk is the
// same on every disk, one folder that can be held shut until the test lets
// the walk in, and one whose listing runs out of memory.
class OrderedFiles : public platform::StdFileSystem {
 public:
  std::string executableDirectory;
  std::string gatedFolder;
  std::promise<void> gate;
  std::string failingFolder;

  std::string ExecutableDirectory() override { return executableDirectory; }
  std::optional<std::vector<platform::DirectoryEntry>> List(const std::string& dir) override {
    if (!gatedFolder.empty() && dir == gatedFolder) gateOpened_.wait();
    if (!failingFolder.empty() && dir == failingFolder) throw std::bad_alloc();
    auto entries = StdFileSystem::List(dir);
    if (entries) {
      std::sort(entries->begin(), entries->end(),
                [](const auto& a, const auto& b) { return a.name < b.name; });
    }
    return entries;
  }

 private:
  std::shared_future<void> gateOpened_ = gate.get_future().share();
};

// Pages that remember every status line they showed.
template <class Page>
class Recorded : public Page {
 public:
  explicit Recorded(std::vector<std::string>* lines) : lines_(lines) {}

 protected:
  void OnStatusShown(const std::string& text) override { lines_->push_back(text); }

 private:
  std::vector<std::string>* lines_;
};

// The program's services with our file system and, where a test asks, real
// HTTP; a headless backend and a scenario runner acting as the user.
struct PageHarness {
  ui::Backend& backend;
  ui::UserActions& user;
  TempDir dir;
  OrderedFiles files;
  platform::sim::SimPlatform sim;
  platform::CurlHttp curl;
  platform::Platform services;
  app::SharedStateScope state;
  std::unique_ptr<app::ServicesScope> scope;
  ui::ScenarioRunner runner{backend, user};
  std::vector<std::string> lines;

  PageHarness(ui::Backend& port, ui::UserActions& portUser, bool realHttp = false)
      : backend(port),
        user(portUser),
        services{sim.Clock(),
                 files,
                 sim.Profiles(),
                 sim.Power(),
                 sim.Processes(),
                 sim.Shell(),
                 sim.Idle(),
                 sim.Sound(),
                 realHttp ? static_cast<platform::Http&>(curl) : sim.Http(),
                 sim.Autostart(),
                 sim.InstanceLock(),
                 sim.SystemInfo()} {
    files.executableDirectory = dir.path();
    scope = std::make_unique<app::ServicesScope>(services);
    ui::Backend::SetCurrent(&backend);
    resources::RegisterTemplates();
    AddFileScenarioCommands(runner);
    tools::AddToolScenarioCommands(runner);
    runner.AddCommand("open-replace", [this](ui::ScenarioContext&, const ui::ScenarioCommand&) {
      return ui::Dialog::OpenModeless<Recorded<tools::CPiTiHuanDlg>>(&lines) != nullptr;
    });
    runner.AddCommand("open-gate", [this](ui::ScenarioContext&, const ui::ScenarioCommand&) {
      files.gate.set_value();
      return true;
    });
    user.SetScript(&runner);
  }
  ~PageHarness() {
    // Pages still open go first, while the services their workers use live.
    user.SetScript(nullptr);
    for (int t : {173, 174, 175}) {
      for (ui::WindowId w : user.FindWindows(t)) backend.DestroyWindow(w);
    }
    ui::Backend::SetCurrent(nullptr);
  }

  template <class Page>
  void Open() {
    ASSERT_TRUE(ui::Dialog::OpenModeless<Recorded<Page>>(&lines));
  }
  // Runs the script (UTF-8, "$" standing for the temporary folder) in the
  // message loop; false with the report when something did not hold.
  ::testing::AssertionResult Run(std::string script) {
    for (std::size_t at = script.find('$'); at != std::string::npos; at = script.find('$', at)) {
      script.replace(at, 1, dir.path());
    }
    if (!runner.LoadText(script, "test")) return ::testing::AssertionFailure() << runner.Report();
    backend.RunMessageLoop();
    if (runner.Failed()) return ::testing::AssertionFailure() << runner.Report();
    return ::testing::AssertionSuccess();
  }
};

}  // namespace tools_test
