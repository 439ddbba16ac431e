#include "platform/sim/sim_scenario_commands.h"

#include <algorithm>
#include <string>

namespace platform::sim {

namespace {

using Ctx = ui::ScenarioContext;
using Cmd = ui::ScenarioCommand;

bool Matches(const std::string& line, const std::string& want) {
  // A call matches when the recorded line equals the expected one, or starts
  // with it followed by a space (arguments left unchecked).
  return line == want || (line.size() > want.size() && line.compare(0, want.size(), want) == 0 &&
                          line[want.size()] == ' ');
}

}  // namespace

void AddSimScenarioCommands(ui::ScenarioRunner& runner, SimPlatform* sim) {
  // --- the user and the processes ---
  runner.AddCommand("user-idle", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("the user's idleness is scripted only with --headless");
    if (!ctx.Usage(1, "user-idle DURATION")) return false;
    const auto ms = ctx.DurationArg(0);
    if (!ms) return false;
    sim->Idle().SetIdleFor(*ms);
    return true;
  });
  runner.AddCommand("user-input", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("the user's input is scripted only with --headless");
    sim->Idle().InputNow();
    return true;
  });
  runner.AddCommand("process", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail("processes are scripted only with --headless");
    if (!ctx.Usage(2, "process PID \"EXE\"")) return false;
    const auto pid = ctx.NumberArg(0);
    if (!pid) return false;
    sim->Processes().AddProcess(static_cast<std::uint32_t>(*pid), cmd.args[1]);
    return true;
  });
  runner.AddCommand("process-refuse", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("processes are scripted only with --headless");
    sim->Processes().SetTerminateResult(false);
    return true;
  });

  runner.AddSetupCommand("os-version", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("the system's version is played only with --headless");
    if (!ctx.Usage(1, "os-version MAJOR")) return false;
    const auto major = ctx.NumberArg(0);
    if (!major) return false;
    sim->SystemInfo().SetOsMajorVersion(static_cast<int>(*major));
    return true;
  });
  runner.AddSetupCommand("instance-held", [sim](Ctx& ctx, const Cmd&) {
    if (!sim) return ctx.Fail("another instance is played only with --headless");
    sim->InstanceLock().SetHeldElsewhere(true);
    return true;
  });

  // --- the recorded calls ---
  runner.AddCommand("expect call", [sim](Ctx& ctx, const Cmd& cmd) {
    if (!sim) return ctx.Fail("platform calls are recorded only with --headless");
    if (!ctx.Usage(2, "expect call \"CALL\" [COUNT]")) return false;
    const auto lines = sim->Log().Lines();
    const long long seen = std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return Matches(l, cmd.args[1]); });
    if (ctx.HasArg(2)) {
      const auto want = ctx.NumberArg(2);
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
    if (!ctx.Usage(2, "expect no-call \"CALL\"")) return false;
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
}

}  // namespace platform::sim
