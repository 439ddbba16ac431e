#include <cctype>
#include <charconv>
#include <optional>
#include <string>

#include "ui/scenario_commands.h"

namespace ui {

namespace {

using Ctx = ScenarioContext;
using Cmd = ScenarioCommand;

std::optional<int> ParseAnswer(const std::string& word) {
  if (word == "ok") return IDOK;
  if (word == "cancel") return IDCANCEL;
  if (word == "yes") return IDYES;
  if (word == "no") return IDNO;
  return std::nullopt;
}

std::optional<unsigned> ParseButtons(const std::string& word) {
  if (word == "ok") return mb::kOk;
  if (word == "okcancel") return mb::kOkCancel;
  if (word == "yesno") return mb::kYesNo;
  return std::nullopt;
}

std::optional<unsigned> ParseIcon(const std::string& word) {
  if (word == "none") return 0u;
  if (word == "info" || word == "information") return mb::kIconInformation;
  if (word == "question") return mb::kIconQuestion;
  if (word == "error") return mb::kIconError;
  if (word == "warning") return mb::kIconWarning;
  return std::nullopt;
}

std::string ButtonsName(unsigned type) {
  switch (type & mb::kButtonsMask) {
    case mb::kOk:
      return "ok";
    case mb::kOkCancel:
      return "okcancel";
    case mb::kYesNo:
      return "yesno";
    default:
      return std::to_string(type & mb::kButtonsMask);
  }
}

std::string IconName(unsigned type) {
  switch (type & mb::kIconMask) {
    case 0:
      return "none";
    case mb::kIconInformation:
      return "info";
    case mb::kIconQuestion:
      return "question";
    case mb::kIconError:
      return "error";
    case mb::kIconWarning:
      return "warning";
    default:
      return std::to_string(type & mb::kIconMask);
  }
}

std::optional<int> ParseKey(const std::string& word, unsigned& modifiers) {
  std::string rest = word;
  modifiers = mod::kNone;
  while (true) {
    if (rest.rfind("ctrl+", 0) == 0) {
      modifiers |= mod::kCtrl;
      rest = rest.substr(5);
    } else if (rest.rfind("shift+", 0) == 0) {
      modifiers |= mod::kShift;
      rest = rest.substr(6);
    } else if (rest.rfind("alt+", 0) == 0) {
      modifiers |= mod::kAlt;
      rest = rest.substr(4);
    } else {
      break;
    }
  }
  if (rest == "esc" || rest == "escape") return key::kEscape;
  if (rest == "enter" || rest == "return") return key::kReturn;
  if (rest == "tab") return key::kTab;
  if (rest == "apps" || rest == "menu") return key::kApps;
  if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
    return std::toupper(static_cast<unsigned char>(rest[0]));
  }
  int code = 0;
  auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), code);
  if (ec == std::errc() && end == rest.data() + rest.size()) return code;
  return std::nullopt;
}

// Whether the message box's text, caption, buttons and icon are what the
// options of a `msgbox` line say.
bool BoxMatches(Ctx& ctx, const MessageBoxView& box) {
  for (const auto& [key, value] : ctx.command().options) {
    if (key == "text" && box.text != value) {
      return ctx.Fail("message box text: expected " + Ctx::Show(value) + ", saw " +
                      Ctx::Show(box.text));
    } else if (key == "caption" && box.caption != value) {
      return ctx.Fail("message box caption: expected " + Ctx::Show(value) + ", saw " +
                      Ctx::Show(box.caption));
    } else if (key == "buttons") {
      auto buttons = ParseButtons(value);
      if (!buttons) return ctx.Fail("unknown buttons \"" + value + "\"");
      if ((box.type & mb::kButtonsMask) != *buttons) {
        return ctx.Fail("message box buttons: expected " + value + ", saw " +
                        ButtonsName(box.type));
      }
    } else if (key == "icon") {
      auto icon = ParseIcon(value);
      if (!icon) return ctx.Fail("unknown icon \"" + value + "\"");
      if ((box.type & mb::kIconMask) != *icon) {
        return ctx.Fail("message box icon: expected " + value + ", saw " + IconName(box.type));
      }
    } else if (key != "text" && key != "caption") {
      return ctx.Fail("unknown option \"" + key + "\"");
    }
  }
  return true;
}

}  // namespace

void AddUserCommands(ScenarioRunner& runner) {
  runner.AddCommand("click", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(2, "click WINDOW CONTROL")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    return id && ctx.Act(ctx.user().Click(w, *id));
  });
  runner.AddCommand("dblclick", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(2, "dblclick WINDOW CONTROL")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    return id && ctx.Act(ctx.user().DoubleClick(w, *id));
  });
  runner.AddCommand("type", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "type WINDOW CONTROL \"TEXT\"")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    return id && ctx.Act(ctx.user().Type(w, *id, cmd.args[2]));
  });
  runner.AddCommand("choose", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "choose WINDOW CONTROL INDEX|\"ENTRY\"")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    if (!id) return false;
    int index = -1;
    if (!ctx.Quoted(2)) {
      const auto number = ctx.NumberArg(2);
      if (!number) return false;
      index = static_cast<int>(*number);
    } else {
      const int count = ctx.backend().ComboCount(w, *id);
      for (int i = 0; i < count && index < 0; ++i) {
        if (ctx.backend().ComboItemText(w, *id, i) == cmd.args[2]) index = i;
      }
      if (index < 0) return ctx.Fail("combo has no entry " + Ctx::Show(cmd.args[2]));
    }
    return ctx.Act(ctx.user().ChooseCombo(w, *id, index));
  });
  auto listClick = [](bool twice) {
    return [twice](Ctx& ctx, const Cmd&) {
      if (!ctx.Usage(3, "list-click WINDOW CONTROL ITEM [SUBITEM]")) return false;
      const WindowId w = ctx.WindowArg(0);
      const auto id = w ? ctx.ControlArg(1) : std::nullopt;
      const auto item = id ? ctx.ControlArg(2) : std::nullopt;
      std::optional<int> sub = 0;
      if (item && ctx.HasArg(3)) sub = ctx.ControlArg(3);
      if (!item || !sub) return false;
      return ctx.Act(twice ? ctx.user().DoubleClickList(w, *id, *item, *sub)
                           : ctx.user().ClickList(w, *id, *item, *sub));
    };
  };
  runner.AddCommand("list-click", listClick(false));
  runner.AddCommand("list-dblclick", listClick(true));
  runner.AddCommand("key", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(2, "key WINDOW [CONTROL] KEY")) return false;
    const WindowId w = ctx.WindowArg(0);
    if (!w) return false;
    std::optional<int> control = 0;
    if (cmd.args.size() > 2) control = ctx.ControlArg(1);
    if (!control) return false;
    unsigned modifiers = 0;
    const auto vk = ParseKey(cmd.args.back(), modifiers);
    if (!vk) return ctx.Fail("unknown key \"" + cmd.args.back() + "\"");
    return ctx.Act(ctx.user().PressKey(w, *control, *vk, modifiers));
  });
  runner.AddCommand("drag", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(5, "drag WINDOW X1 Y1 X2 Y2")) return false;
    const WindowId w = ctx.WindowArg(0);
    if (!w) return false;
    std::optional<int> v[4];
    for (int i = 0; i < 4; ++i) {
      v[i] = ctx.ControlArg(i + 1);
      if (!v[i]) return false;
    }
    return ctx.Act(ctx.user().Drag(w, Point{*v[0], *v[1]}, Point{*v[2], *v[3]}));
  });
  runner.AddCommand("dblclick-at", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(3, "dblclick-at WINDOW X Y")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto x = w ? ctx.ControlArg(1) : std::nullopt;
    const auto y = x ? ctx.ControlArg(2) : std::nullopt;
    return y && ctx.Act(ctx.user().DoubleClickAt(w, Point{*x, *y}));
  });
  runner.AddCommand("close", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(1, "close WINDOW")) return false;
    const WindowId w = ctx.WindowArg(0);
    return w && ctx.Act(ctx.user().SystemClose(w));
  });
  runner.AddCommand("syscommand", [](Ctx& ctx, const Cmd&) {
    if (!ctx.Usage(2, "syscommand WINDOW COMMAND")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto command = w ? ctx.NumberArg(1) : std::nullopt;
    return command && ctx.Act(ctx.user().SystemCommand(w, static_cast<unsigned>(*command)));
  });
  runner.AddCommand("msgbox", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(
            1, "msgbox ok|cancel|yes|no [text=\"...\"] [caption=\"...\"] [buttons=...] [icon=...]"))
      return false;
    const auto box = ctx.user().OpenMessageBox();
    if (!box) return ctx.Fail("no message box is open");
    const auto answer = ParseAnswer(cmd.args[0]);
    if (!answer) return ctx.Fail("unknown answer \"" + cmd.args[0] + "\"");
    return BoxMatches(ctx, *box) && ctx.Act(ctx.user().AnswerMessageBox(*answer));
  });
  runner.AddCommand("tray-click", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "tray-click WINDOW ICON left|right")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto icon = w ? ctx.ControlArg(1) : std::nullopt;
    if (!icon) return false;
    const std::uint32_t mouse = cmd.args[2] == "right"  ? msg::kRButtonDown
                                : cmd.args[2] == "left" ? msg::kLButtonDown
                                                        : 0;
    if (!mouse) return ctx.Fail("tray buttons are left or right");
    return ctx.Act(ctx.user().ClickTray(w, *icon, mouse));
  });
  runner.AddCommand("picker", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(1, "picker \"PATH\"|cancel")) return false;
    const bool cancel = cmd.args[0] == "cancel" && !ctx.Quoted(0);
    ctx.user().SetNextPickerAnswer(cancel ? std::nullopt : std::optional<std::string>(cmd.args[0]));
    return true;
  });
  runner.AddCommand("right-click", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(2, "right-click WINDOW CONTROL [page|control]")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    if (!id) return false;
    const std::string want = cmd.args.size() > 2 ? cmd.args[2] : "";
    if (!want.empty() && want != "page" && want != "control") {
      return ctx.Fail("right-click: \"" + want + "\" is neither page nor control");
    }
    bool taken = false;
    if (!ctx.Act(ctx.user().RightClick(w, *id, taken))) return false;
    if (want == "page" && !taken) return ctx.Fail("the press reached the control");
    if (want == "control" && taken) return ctx.Fail("the page kept the press from the control");
    return true;
  });
  runner.AddCommand("web-navigate", [](Ctx& ctx, const Cmd& cmd) {
    if (!ctx.Usage(3, "web-navigate WINDOW CONTROL \"URL\" [new-window]")) return false;
    const WindowId w = ctx.WindowArg(0);
    const auto id = w ? ctx.ControlArg(1) : std::nullopt;
    const bool newWindow = cmd.args.size() > 3 && cmd.args[3] == "new-window";
    return id && ctx.Act(ctx.user().WebNavigateByUser(w, *id, cmd.args[2], newWindow));
  });
}

}  // namespace ui
