#include "program/scenario_commands.h"

#include <algorithm>

#include "online/http_scenario_commands.h"
#include "tasks/task_scenario_commands.h"

namespace {

bool Matches(const std::string& line, const std::string& want) {
  // A call matches when the recorded line equals the expected one, or starts
  // with it followed by a space (arguments left unchecked).
  return line == want || (line.size() > want.size() && line.compare(0, want.size(), want) == 0 &&
                          line[want.size()] == ' ');
}

}  // namespace

void AddProgramCommands(ui::ScenarioRunner& runner, platform::sim::SimPlatform* sim) {
  using Ctx = ui::ScenarioContext;
  using Cmd = ui::ScenarioCommand;

  runner.AddCommand("expect call", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail("platform calls are recorded only with --headless");
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect call \"CALL\" [COUNT]");
    const auto lines = sim->Log().Lines();
    const long long seen = std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return Matches(l, cmd.args[1]); });
    if (cmd.args.size() > 2) {
      auto want = ctx.Number(cmd.args[2]);
      if (!want) return false;
      if (seen != *want) {
        return ctx.Fail("call " + Ctx::Show(cmd.args[1]) + " made " + std::to_string(seen) +
                        " times");
      }
      return true;
    }
    if (seen > 0) return true;
    std::string all;
    for (const auto& l : lines) all += "\n    " + Ctx::Show(l);
    return ctx.Fail("no call " + Ctx::Show(cmd.args[1]) +
                    "; calls made:" + (all.empty() ? " none" : all));
  });
  runner.AddCommand("expect no-call", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail("platform calls are recorded only with --headless");
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect no-call \"CALL\"");
    for (const auto& l : sim->Log().Lines()) {
      if (Matches(l, cmd.args[1])) return ctx.Fail("call made: " + Ctx::Show(l));
    }
    return true;
  });
  runner.AddCommand("clear-calls", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("platform calls are recorded only with --headless");
    sim->Log().Clear();
    return true;
  });

  tasks::AddTaskScenarioCommands(runner, sim);
  online::AddHttpScenarioCommands(runner, sim);
}
