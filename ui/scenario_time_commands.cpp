#include <cstdio>
#include <string>

#include "ui/scenario_commands.h"

namespace ui {

void AddTimeCommands(ScenarioRunner& runner) {
  using Ctx = ScenarioContext;
  using Cmd = ScenarioCommand;

  runner.AddCommand("advance", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(1, "advance DURATION (e.g. 1500ms, 61s, 2m)")) return false;
    const auto ms = ctx.DurationArg(0);
    if (!ms) return false;
    ctx.user().Advance(*ms);
    return true;
  });
  runner.AddCommand("time", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(2, "time YYYY-MM-DD HH:MM:SS")) return false;
    int y, mo, d, h, mi, s;
    if (std::sscanf(cmd.args[0].c_str(), "%d-%d-%d", &y, &mo, &d) != 3 ||
        std::sscanf(cmd.args[1].c_str(), "%d:%d:%d", &h, &mi, &s) != 3) {
      return ctx.Fail("time is YYYY-MM-DD HH:MM:SS");
    }
    if (!ctx.user().SetLocalTime(y, mo, d, h, mi, s))
      return ctx.Fail("this backend cannot set the time");
    return true;
  });
  runner.AddCommand("wait", [](Ctx& ctx, const Cmd&) {
    // wait DURATION: lets worker threads and posted messages run, in real time.
    if (!ctx.Usage(1, "wait DURATION")) return false;
    const auto ms = ctx.DurationArg(0);
    if (!ms) return false;
    ctx.user().WaitUntil([] { return false; }, *ms);
    return true;
  });
  runner.AddCommand("wait-text", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(4, "wait-text WINDOW CONTROL \"TEXT\" TIMEOUT")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto control = w ? ctx.ControlArg(1) : std::nullopt;
    const auto ms = control ? ctx.DurationArg(3) : std::nullopt;
    if (!ms) return false;
    const std::string& want = cmd.args[2];
    const bool done = ctx.user().WaitUntil(
        [&] {
          return ctx.backend().IsWindow(w) &&
                 ctx.backend().GetControlText(w, *control).find(want) != std::string::npos;
        },
        *ms);
    if (!done) {
      return ctx.Fail(
          "control " + cmd.args[1] + " never showed " + Ctx::Show(want) + "; it shows " +
          Ctx::Show(ctx.backend().IsWindow(w) ? ctx.backend().GetControlText(w, *control) : ""));
    }
    return true;
  });
  runner.AddCommand("repaint", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(1, "repaint WINDOW")) return false;
    const WindowId w = ctx.WindowArg(0);
    if (!w) return false;
    ctx.user().Repaint(w);
    return true;
  });
  runner.AddCommand("screenshot", [](Ctx& ctx, const Cmd& cmd) {
    // Saved where the backend can draw; the headless backend draws nothing.
    if (!ctx.Usage(1, "screenshot \"PATH\" [WINDOW]")) return false;
    WindowId w = 0;
    if (ctx.HasArg(1) && !(w = ctx.WindowArg(1))) return false;
    ctx.user().Screenshot(w, ctx.runner().ScreenshotPath(cmd.args[0]));
    return true;
  });
}

}  // namespace ui
