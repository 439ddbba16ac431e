#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "ui/scenario_commands.h"

namespace ui {

namespace {

using Ctx = ScenarioContext;
using Cmd = ScenarioCommand;

// The window and control of `expect NAME WINDOW CONTROL ...`.
bool WindowControl(Ctx& ctx, WindowId& w, int& id) {
  if (!ctx.Usage(3, "expect " + ctx.Arg(0) + " WINDOW CONTROL ...")) return false;
  w = ctx.WindowArg(1);
  if (!w) return false;
  const auto n = ctx.ControlArg(2);
  if (!n) return false;
  id = *n;
  return true;
}

bool ExpectEqual(Ctx& ctx, const std::string& what, const std::string& want,
                 const std::string& seen) {
  if (want == seen) return true;
  return ctx.Fail(what + ": expected " + Ctx::Show(want) + ", saw " + Ctx::Show(seen));
}

bool ParseFlag(const std::string& word, bool& value) {
  if (word == "1" || word == "yes" || word == "true") {
    value = true;
    return true;
  }
  if (word == "0" || word == "no" || word == "false") {
    value = false;
    return true;
  }
  return false;
}

// `expect NAME WINDOW CONTROL [0|1]` over a yes-or-no reading.
ScenarioRunner::Handler ExpectFlag(const char* name,
                                   std::function<bool(Ctx&, WindowId, int)> read) {
  return [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    bool want = true;
    if (cmd.args.size() > 3 && !ParseFlag(cmd.args[3], want)) return ctx.Fail("expected 0 or 1");
    const bool seen = read(ctx, w, id);
    if (seen == want) return true;
    return ctx.Fail(std::string(name) + " of " + cmd.args[2] + ": expected " + (want ? "1" : "0") +
                    ", saw " + (seen ? "1" : "0"));
  };
}

}  // namespace

void AddExpectCommands(ScenarioRunner& runner) {
  runner.AddCommand("expect text", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect text WINDOW CONTROL \"TEXT\"");
    return ExpectEqual(ctx, "text of " + cmd.args[2], cmd.args[3],
                       ctx.backend().GetControlText(w, id));
  });
  runner.AddCommand("expect text-contains", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect text-contains WINDOW CONTROL \"TEXT\"");
    const std::string seen = ctx.backend().GetControlText(w, id);
    if (seen.find(cmd.args[3]) != std::string::npos) return true;
    return ctx.Fail("text of " + cmd.args[2] + " does not contain " + Ctx::Show(cmd.args[3]) +
                    ": " + Ctx::Show(seen));
  });
  runner.AddCommand("expect enabled", ExpectFlag("enabled", [](Ctx& c, WindowId w, int id) {
                      return c.backend().IsControlEnabled(w, id);
                    }));
  runner.AddCommand("expect visible", ExpectFlag("visible", [](Ctx& c, WindowId w, int id) {
                      return c.backend().IsControlVisible(w, id);
                    }));
  runner.AddCommand("expect checked", ExpectFlag("checked", [](Ctx& c, WindowId w, int id) {
                      return c.backend().GetCheck(w, id) != 0;
                    }));
  runner.AddCommand("expect combo-items", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    std::vector<std::string> seen;
    for (int i = 0; i < ctx.backend().ComboCount(w, id); ++i)
      seen.push_back(ctx.backend().ComboItemText(w, id, i));
    const std::vector<std::string> want(cmd.args.begin() + 3, cmd.args.end());
    if (seen == want) return true;
    std::string shown;
    for (const auto& s : seen) shown += " " + Ctx::Show(s);
    return ctx.Fail("combo entries:" + (shown.empty() ? std::string(" none") : shown));
  });
  runner.AddCommand("expect combo-sel", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect combo-sel WINDOW CONTROL INDEX");
    auto want = ctx.NumberArg(3);
    if (!want) return false;
    const int seen = ctx.backend().ComboGetSel(w, id);
    return seen == *want ? true
                         : ctx.Fail("combo selection: expected " + cmd.args[3] + ", saw " +
                                    std::to_string(seen));
  });
  runner.AddCommand("expect list-count", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect list-count WINDOW CONTROL N");
    auto want = ctx.NumberArg(3);
    if (!want) return false;
    const int seen = ctx.backend().ListItemCount(w, id);
    return seen == *want
               ? true
               : ctx.Fail("list rows: expected " + cmd.args[3] + ", saw " + std::to_string(seen));
  });
  runner.AddCommand("expect list-cell", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 6)
      return ctx.Fail("usage: expect list-cell WINDOW CONTROL ROW COLUMN \"TEXT\"");
    auto row = ctx.NumberArg(3);
    auto col = row ? ctx.NumberArg(4) : std::nullopt;
    if (!col) return false;
    return ExpectEqual(
        ctx, "list cell " + cmd.args[3] + "," + cmd.args[4], cmd.args[5],
        ctx.backend().ListItemText(w, id, static_cast<int>(*row), static_cast<int>(*col)));
  });
  runner.AddCommand("expect list-sel", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect list-sel WINDOW CONTROL ITEM");
    auto want = ctx.NumberArg(3);
    if (!want) return false;
    const int seen = ctx.backend().ListSelected(w, id);
    return seen == *want ? true
                         : ctx.Fail("list selection: expected " + cmd.args[3] + ", saw " +
                                    std::to_string(seen));
  });
  runner.AddCommand("expect limit", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect limit WINDOW CONTROL BYTES");
    auto want = ctx.NumberArg(3);
    if (!want) return false;
    const int seen = ctx.user().EditLimit(w, id);
    return seen == *want
               ? true
               : ctx.Fail("edit limit: expected " + cmd.args[3] + ", saw " + std::to_string(seen));
  });
  runner.AddCommand("expect selection", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 5) return ctx.Fail("usage: expect selection WINDOW CONTROL START END");
    auto start = ctx.NumberArg(3);
    auto end = start ? ctx.NumberArg(4) : std::nullopt;
    if (!end) return false;
    auto [s, e] = ctx.user().EditSelection(w, id);
    if (s == *start && e == *end) return true;
    return ctx.Fail("selection: saw " + std::to_string(s) + " " + std::to_string(e));
  });
  runner.AddCommand("expect font", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4)
      return ctx.Fail("usage: expect font WINDOW CONTROL \"FACE\" HEIGHT | none");
    auto font = ctx.user().ControlFont(w, id);
    if (cmd.args[3] == "none")
      return font ? ctx.Fail("control has font " + Ctx::Show(font->face)) : true;
    if (!font) return ctx.Fail("control keeps the template font");
    if (font->face != cmd.args[3]) return ExpectEqual(ctx, "font face", cmd.args[3], font->face);
    if (cmd.args.size() > 4) {
      auto height = ctx.NumberArg(4);
      if (!height) return false;
      if (font->height != *height)
        return ctx.Fail("font height: saw " + std::to_string(font->height));
    }
    return true;
  });
  runner.AddCommand("expect color", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4)
      return ctx.Fail("usage: expect color WINDOW CONTROL default|hollow|transparent");
    const CtlColor c = ctx.user().ControlColor(w, id);
    const std::string seen = !c.hollowBrush      ? "default"
                             : c.transparentText ? "transparent"
                                                 : "hollow";
    return seen == cmd.args[3] ? true
                               : ctx.Fail("colour: expected " + cmd.args[3] + ", saw " + seen);
  });
  runner.AddCommand("expect paint", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 3) return ctx.Fail("usage: expect paint WINDOW \"OPERATION\"");
    const WindowId w = ctx.WindowArg(1);
    if (!w) return false;
    const auto log = ctx.user().PaintLog(w);
    // "... client" stands for the window's whole client area, whatever its
    // pixel size on this backend.
    std::string want = cmd.args[2];
    const std::string kClient = " client";
    if (want.size() > kClient.size() &&
        want.compare(want.size() - kClient.size(), kClient.size(), kClient) == 0) {
      const Rect client = ctx.backend().GetClientRect(w);
      want = want.substr(0, want.size() - kClient.size()) + " " + std::to_string(client.left) +
             " " + std::to_string(client.top) + " " + std::to_string(client.Width()) + " " +
             std::to_string(client.Height());
    }
    if (std::find(log.begin(), log.end(), want) != log.end()) return true;
    std::string seen;
    for (const auto& line : log) seen += "\n    " + line;
    return ctx.Fail("the last paint did not " + cmd.args[2] +
                    "; it did:" + (seen.empty() ? " nothing" : seen));
  });
  runner.AddCommand("expect window", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 3) {
      return ctx.Fail(
          "usage: expect window WINDOW "
          "open|closed|visible|hidden|enabled|disabled|topmost|not-topmost|modal");
    }
    const std::string& state = cmd.args[2];
    const std::size_t hash = cmd.args[1].find('#');
    auto templateId = ctx.Number(cmd.args[1].substr(0, hash));
    if (!templateId) return false;
    const auto windows = ctx.user().FindWindows(static_cast<int>(*templateId));
    if (state == "closed") {
      return windows.empty() ? true : ctx.Fail("window " + cmd.args[1] + " is open");
    }
    const WindowId w = ctx.WindowArg(1);
    if (!w) return false;
    Backend& b = ctx.backend();
    bool ok = false;
    if (state == "open")
      ok = true;
    else if (state == "visible")
      ok = b.IsVisible(w);
    else if (state == "hidden")
      ok = !b.IsVisible(w);
    else if (state == "enabled")
      ok = b.IsEnabled(w);
    else if (state == "disabled")
      ok = !b.IsEnabled(w);
    else if (state == "topmost")
      ok = b.IsTopmost(w);
    else if (state == "not-topmost")
      ok = !b.IsTopmost(w);
    else if (state == "modal")
      ok = ctx.user().IsModalRunning(w);
    else
      return ctx.Fail("unknown window state \"" + state + "\"");
    return ok ? true : ctx.Fail("window " + cmd.args[1] + " is not " + state);
  });
  runner.AddCommand("expect windows", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 3) return ctx.Fail("usage: expect windows TEMPLATE COUNT");
    auto templateId = ctx.NumberArg(1);
    auto count = templateId ? ctx.NumberArg(2) : std::nullopt;
    if (!count) return false;
    const auto seen = ctx.user().FindWindows(static_cast<int>(*templateId)).size();
    return static_cast<long long>(seen) == *count
               ? true
               : ctx.Fail(std::to_string(seen) + " windows of template " + cmd.args[1] +
                          " are open");
  });
  runner.AddCommand("expect caption", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "expect caption WINDOW \"TEXT\"")) return false;
    const WindowId w = ctx.WindowArg(1);
    if (!w) return false;
    const std::string seen = ctx.user().WindowCaption(w);
    return seen == cmd.args[2] || ctx.Fail("caption " + Ctx::Show(seen));
  });
  runner.AddCommand("expect rect", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 6) return ctx.Fail("usage: expect rect WINDOW X Y WIDTH HEIGHT");
    const WindowId w = ctx.WindowArg(1);
    if (!w) return false;
    long long v[4];
    for (int i = 0; i < 4; ++i) {
      auto n = ctx.NumberArg(i + 2);
      if (!n) return false;
      v[i] = *n;
    }
    const Rect r = ctx.backend().GetWindowRect(w);
    if (r.left == v[0] && r.top == v[1] && r.Width() == v[2] && r.Height() == v[3]) return true;
    return ctx.Fail("window rectangle: saw " + std::to_string(r.left) + " " +
                    std::to_string(r.top) + " " + std::to_string(r.Width()) + " " +
                    std::to_string(r.Height()));
  });
  runner.AddCommand("expect control-rect", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 7) {
      return ctx.Fail("usage: expect control-rect WINDOW CONTROL X Y WIDTH HEIGHT");
    }
    const Rect r = ctx.backend().GetControlRect(w, id);
    const int seen[4] = {r.left, r.top, r.Width(), r.Height()};
    for (int i = 0; i < 4; ++i) {
      // "-" leaves a value unchecked.
      if (cmd.args[i + 3] == "-") continue;
      auto n = ctx.NumberArg(i + 3);
      if (!n) return false;
      if (*n != seen[i]) {
        return ctx.Fail("control rectangle: saw " + std::to_string(seen[0]) + " " +
                        std::to_string(seen[1]) + " " + std::to_string(seen[2]) + " " +
                        std::to_string(seen[3]));
      }
    }
    return true;
  });
  runner.AddCommand("expect web", [](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!WindowControl(ctx, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect web WINDOW CONTROL \"URL\"");
    return ExpectEqual(ctx, "web address", cmd.args[3], ctx.backend().WebLocation(w, id));
  });
  runner.AddCommand("expect tray", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect tray COUNT [ICON-RESOURCE \"TIP\"]");
    auto count = ctx.NumberArg(1);
    if (!count) return false;
    const auto icons = ctx.user().TrayIcons();
    if (static_cast<long long>(icons.size()) != *count) {
      return ctx.Fail(std::to_string(icons.size()) + " tray icons are shown");
    }
    if (cmd.args.size() > 3) {
      auto resource = ctx.NumberArg(2);
      if (!resource) return false;
      for (const auto& icon : icons) {
        if (icon.iconResource == *resource && icon.tip == cmd.args[3]) return true;
      }
      return ctx.Fail("no tray icon " + cmd.args[2] + " with tip " + Ctx::Show(cmd.args[3]));
    }
    return true;
  });
  runner.AddCommand("expect msgbox", [](Ctx& ctx, const Cmd& cmd) {
    // expect msgbox none | expect msgbox "TEXT": looks without answering.
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect msgbox none|\"TEXT\"");
    auto box = ctx.user().OpenMessageBox();
    if (cmd.args[1] == "none" && !cmd.quoted[1]) {
      return box ? ctx.Fail("a message box is open: " + Ctx::Show(box->text)) : true;
    }
    if (!box) return ctx.Fail("no message box is open");
    return ExpectEqual(ctx, "message box text", cmd.args[1], box->text);
  });
  runner.AddCommand("expect exit", [](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect exit CODE");
    auto want = ctx.NumberArg(1);
    if (!want) return false;
    if (!ctx.runner().ProgramEnded()) return ctx.Fail("the program is still running");
    const int seen = ctx.runner().ProgramExitCode();
    return seen == *want
               ? true
               : ctx.Fail("exit code: expected " + cmd.args[1] + ", saw " + std::to_string(seen));
  });
}

}  // namespace ui
