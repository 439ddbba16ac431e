#include "tools/tool_scenario_commands.h"

#include <optional>
#include <string>

#include "app/services.h"
#include "tools/gadgets_dlg.h"
#include "tools/tool_settings.h"

namespace tools {

namespace {

using Ctx = ui::ScenarioContext;
using Cmd = ui::ScenarioCommand;

platform::FileSystem& Files() {
  return app::Services().files;
}

// Creates every missing folder of `path` up to its last separator.
void MakeParents(const std::string& path) {
  platform::FileSystem& files = Files();
  for (std::size_t at = path.find_first_of("/\\", 1); at != std::string::npos;
       at = path.find_first_of("/\\", at + 1)) {
    files.CreateDirectory(path.substr(0, at));
  }
}

void RemoveTree(const std::string& path) {
  platform::FileSystem& files = Files();
  if (files.IsDirectory(path)) {
    if (auto entries = files.List(path)) {
      for (const auto& e : *entries) RemoveTree(path + files.Separator() + e.name);
    }
  }
  files.Remove(path);
}

std::optional<ToolKind> Tool(Ctx& ctx, const std::string& name) {
  if (name == "replace") return ToolKind::Replace;
  if (name == "download") return ToolKind::Download;
  if (name == "extract") return ToolKind::Extract;
  ctx.Fail("a tool is replace, download or extract");
  return std::nullopt;
}

ToolSettingsFile SettingsOf(ToolKind tool) {
  platform::Platform& services = app::Services();
  return ToolSettingsFile(services.files, services.profiles, tool);
}

}  // namespace

void AddToolScenarioCommands(ui::ScenarioRunner& runner) {
  runner.AddCommand("open-gadgets", [](Ctx&, const Cmd&) {
    // As the main window's entry does: modal, back when it closes.
    CGadgetsDlg gadgets;
    gadgets.DoModal();
    return true;
  });
  runner.AddSetupCommand("folder", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(1, "folder \"PATH\"")) return false;
    RemoveTree(cmd.args[0]);
    MakeParents(cmd.args[0] + "/");
    return Files().IsDirectory(cmd.args[0]) ? true
                                            : ctx.Fail("cannot make " + Ctx::Show(cmd.args[0]));
  });
  runner.AddSetupCommand("remove", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(1, "remove \"PATH\"")) return false;
    RemoveTree(cmd.args[0]);
    return true;
  });
  runner.AddSetupCommand("tool-settings-remove", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(1, "tool-settings-remove replace|download|extract")) return false;
    const auto tool = Tool(ctx, cmd.args[0]);
    if (!tool) return false;
    Files().Remove(SettingsOf(*tool).Path());
    return true;
  });
  runner.AddCommand("expect tool-setting", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(4, "expect tool-setting replace|download|extract \"KEY\" \"VALUE\"")) {
      return false;
    }
    const auto tool = Tool(ctx, cmd.args[1]);
    if (!tool) return false;
    std::optional<ToolSettings> settings = SettingsOf(*tool).Load();
    if (!settings) return ctx.Fail("no settings file " + Ctx::Show(SettingsOf(*tool).Path()));
    const std::string seen = settings->Get(cmd.args[2]);
    if (seen != cmd.args[3]) return ctx.Fail("the setting holds " + Ctx::Show(seen));
    return true;
  });
}

}  // namespace tools
