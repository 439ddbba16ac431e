#include "ui/scenario.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/text_codec.h"

namespace ui {

namespace {

// Splits a line into words. "..." quotes a word (with \" \\ \n \r \t);
// a quoted word becomes program text (GBK). A word may be key=value, the
// value quoted or not. '#' outside quotes starts a comment.
bool Tokenize(const std::string& line, ScenarioCommand& command, std::string& error) {
  std::size_t i = 0;
  bool first = true;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size() || line[i] == '#') break;
    std::string word;
    std::string key;  // set when the word is key=value
    bool quoted = false;
    const bool startsQuoted = line[i] == '"';
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
      if (line[i] == '"') {
        quoted = true;
        ++i;
        std::string inner;
        while (i < line.size() && line[i] != '"') {
          if (line[i] == '\\' && i + 1 < line.size()) {
            const char e = line[++i];
            inner += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
          } else {
            inner += line[i];
          }
          ++i;
        }
        if (i >= line.size()) {
          error = "unterminated quote";
          return false;
        }
        ++i;
        word += text::Utf8ToGbk(inner);
      } else if (line[i] == '=' && !startsQuoted && !quoted && key.empty() && !word.empty()) {
        key = word;
        word.clear();
        ++i;
      } else {
        word += line[i++];
      }
    }
    if (first) {
      command.name = word;
      first = false;
    } else if (!key.empty()) {
      command.options[key] = word;
    } else {
      command.args.push_back(word);
      command.quoted.push_back(quoted);
    }
  }
  return true;
}

std::optional<unsigned> ParseDuration(const std::string& text) {
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits == 0) return std::nullopt;
  const unsigned long long value = std::stoull(text.substr(0, digits));
  const std::string unit = text.substr(digits);
  unsigned long long ms = 0;
  if (unit.empty() || unit == "ms") {
    ms = value;
  } else if (unit == "s") {
    ms = value * 1000;
  } else if (unit == "m" || unit == "min") {
    ms = value * 60000;
  } else if (unit == "h") {
    ms = value * 3600000;
  } else {
    return std::nullopt;
  }
  return static_cast<unsigned>(ms);
}

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

}  // namespace

// --- context ---------------------------------------------------------------------

WindowId ScenarioContext::Window(const std::string& ref) {
  const std::size_t hash = ref.find('#');
  auto templateId = Number(ref.substr(0, hash));
  if (!templateId) return 0;
  const std::vector<WindowId> windows = user_.FindWindows(static_cast<int>(*templateId));
  if (windows.empty()) {
    Fail("no window of template " + ref.substr(0, hash) + " is open");
    return 0;
  }
  if (hash == std::string::npos) return windows.back();
  auto index = Number(ref.substr(hash + 1));
  if (!index) return 0;
  if (*index < 1 || *index > static_cast<long long>(windows.size())) {
    Fail("only " + std::to_string(windows.size()) + " windows of template " + ref.substr(0, hash) +
         " are open");
    return 0;
  }
  return windows[static_cast<std::size_t>(*index - 1)];
}

std::optional<long long> ScenarioContext::Number(const std::string& text) {
  long long value = 0;
  const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
  const char* begin = text.data() + (hex ? 2 : 0);
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value, hex ? 16 : 10);
  if (text.empty() || ec != std::errc() || ptr != end) {
    Fail("\"" + text + "\" is not a number");
    return std::nullopt;
  }
  return value;
}

bool ScenarioContext::Fail(const std::string& why) {
  runner_.RecordFailure(nullptr, why);
  return false;
}

std::string ScenarioContext::Show(const std::string& gbk) {
  return "\"" + text::GbkToUtf8(gbk) + "\"";
}

// --- runner ----------------------------------------------------------------------

ScenarioRunner::ScenarioRunner(Backend& backend, UserActions& user)
    : backend_(backend), user_(user) {
  AddBuiltins();
}

bool ScenarioRunner::LoadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    failed_ = true;
    failure_ = path + ": cannot read the scenario file";
    return false;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  return LoadText(buffer.str(), path);
}

bool ScenarioRunner::LoadText(const std::string& text, const std::string& name) {
  name_ = name;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    ScenarioCommand command;
    command.line = number;
    command.source = line;
    std::string error;
    if (!Tokenize(line, command, error)) {
      failed_ = true;
      failure_ = name + ":" + std::to_string(number) + ": " + error;
      return false;
    }
    if (command.name.empty()) continue;
    if (command.name == "start") {
      if (!commands_.empty() || command.args.size() != 1) {
        failed_ = true;
        failure_ = name + ":" + std::to_string(number) +
                   ": \"start ENTRY\" must be the first command, with one entry name";
        return false;
      }
      startEntry_ = command.args[0];
      continue;
    }
    const std::string key = command.name == "expect" && !command.args.empty()
                                ? "expect " + command.args[0]
                                : command.name;
    if (!handlers_.count(key)) {
      failed_ = true;
      failure_ = name + ":" + std::to_string(number) + ": unknown command \"" + key + "\"";
      return false;
    }
    commands_.push_back(std::move(command));
  }
  return true;
}

void ScenarioRunner::AddCommand(const std::string& name, Handler handler) {
  handlers_[name] = std::move(handler);
}

void ScenarioRunner::RecordFailure(const ScenarioCommand* command, const std::string& why) {
  if (failed_) return;
  failed_ = true;
  const ScenarioCommand* at = command;
  if (!at && next_ > 0 && next_ <= commands_.size()) at = &commands_[next_ - 1];
  if (at) {
    failure_ = name_ + ":" + std::to_string(at->line) + ": " + at->source + "\n  " + why;
  } else {
    failure_ = name_ + ": " + why;
  }
}

bool ScenarioRunner::Execute(const ScenarioCommand& command) {
  const std::string key = command.name == "expect" && !command.args.empty()
                              ? "expect " + command.args[0]
                              : command.name;
  ScenarioContext context(*this, backend_, user_);
  ++executed_;
  const bool ok = handlers_[key](context, command);
  if (!ok && !failed_) RecordFailure(&command, "failed");
  return ok && !failed_;
}

bool ScenarioRunner::Step() {
  if (failed_) return false;
  if (next_ >= commands_.size()) {
    if (auto box = user_.OpenMessageBox()) {
      failed_ = true;
      failure_ =
          name_ + ": the script ended with a message box open: " + ScenarioContext::Show(box->text);
    }
    return false;
  }
  const ScenarioCommand& command = commands_[next_++];
  return Execute(command);
}

void ScenarioRunner::FinishAfterExit(int exitCode) {
  programEnded_ = true;
  exitCode_ = exitCode;
  while (!failed_ && next_ < commands_.size()) Execute(commands_[next_++]);
}

std::string ScenarioRunner::Report() const {
  if (failed_) return failure_;
  return name_ + ": " + std::to_string(executed_) + " commands, every expectation held";
}

// --- built-in commands -----------------------------------------------------------

std::string ScenarioRunner::ScreenshotPath(const std::string& path) const {
  const bool absolute =
      (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
  if (absolute || screenshotFolder_.empty()) return path;
  const char last = screenshotFolder_.back();
  return last == '/' || last == '\\' ? screenshotFolder_ + path : screenshotFolder_ + "/" + path;
}

void ScenarioRunner::AddBuiltins() {
  using Ctx = ScenarioContext;
  using Cmd = ScenarioCommand;

  auto needArgs = [](Ctx& ctx, const Cmd& cmd, std::size_t count, const char* usage) {
    if (cmd.args.size() < count) return ctx.Fail(std::string("usage: ") + usage);
    return true;
  };
  auto act = [](Ctx& ctx, bool done) { return done ? true : ctx.Fail(ctx.user().ActionError()); };

  // --- acting as the user ---
  AddCommand("click", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 2, "click WINDOW CONTROL")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    return id && act(ctx, ctx.user().Click(w, static_cast<int>(*id)));
  });
  AddCommand("dblclick", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 2, "dblclick WINDOW CONTROL")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    return id && act(ctx, ctx.user().DoubleClick(w, static_cast<int>(*id)));
  });
  AddCommand("type", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 3, "type WINDOW CONTROL \"TEXT\"")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    return id && act(ctx, ctx.user().Type(w, static_cast<int>(*id), cmd.args[2]));
  });
  AddCommand("choose", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 3, "choose WINDOW CONTROL INDEX|\"ENTRY\"")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    if (!id) return false;
    const int control = static_cast<int>(*id);
    int index = -1;
    if (!cmd.quoted[2]) {
      auto number = ctx.Number(cmd.args[2]);
      if (!number) return false;
      index = static_cast<int>(*number);
    } else {
      const int count = ctx.backend().ComboCount(w, control);
      for (int i = 0; i < count && index < 0; ++i) {
        if (ctx.backend().ComboItemText(w, control, i) == cmd.args[2]) index = i;
      }
      if (index < 0) return ctx.Fail("combo has no entry " + Ctx::Show(cmd.args[2]));
    }
    return act(ctx, ctx.user().ChooseCombo(w, control, index));
  });
  auto listClick = [=](bool twice) {
    return [=](Ctx& ctx, const Cmd& cmd) {
      if (!needArgs(ctx, cmd, 3, "list-click WINDOW CONTROL ITEM [SUBITEM]")) return false;
      const WindowId w = ctx.Window(cmd.args[0]);
      auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
      auto item = id ? ctx.Number(cmd.args[2]) : std::nullopt;
      std::optional<long long> sub = 0;
      if (item && cmd.args.size() > 3) sub = ctx.Number(cmd.args[3]);
      if (!item || !sub) return false;
      return act(
          ctx, twice ? ctx.user().DoubleClickList(w, static_cast<int>(*id), static_cast<int>(*item),
                                                  static_cast<int>(*sub))
                     : ctx.user().ClickList(w, static_cast<int>(*id), static_cast<int>(*item),
                                            static_cast<int>(*sub)));
    };
  };
  AddCommand("list-click", listClick(false));
  AddCommand("list-dblclick", listClick(true));
  AddCommand("key", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 2, "key WINDOW [CONTROL] KEY")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    if (!w) return false;
    int control = 0;
    if (cmd.args.size() > 2) {
      auto id = ctx.Number(cmd.args[1]);
      if (!id) return false;
      control = static_cast<int>(*id);
    }
    unsigned modifiers = 0;
    auto vk = ParseKey(cmd.args.back(), modifiers);
    if (!vk) return ctx.Fail("unknown key \"" + cmd.args.back() + "\"");
    return act(ctx, ctx.user().PressKey(w, control, *vk, modifiers));
  });
  AddCommand("drag", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 5, "drag WINDOW X1 Y1 X2 Y2")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    if (!w) return false;
    std::optional<long long> v[4];
    for (int i = 0; i < 4; ++i) {
      v[i] = ctx.Number(cmd.args[i + 1]);
      if (!v[i]) return false;
    }
    return act(ctx, ctx.user().Drag(w, Point{static_cast<int>(*v[0]), static_cast<int>(*v[1])},
                                    Point{static_cast<int>(*v[2]), static_cast<int>(*v[3])}));
  });
  AddCommand("dblclick-at", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 3, "dblclick-at WINDOW X Y")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto x = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    auto y = x ? ctx.Number(cmd.args[2]) : std::nullopt;
    return y &&
           act(ctx, ctx.user().DoubleClickAt(w, Point{static_cast<int>(*x), static_cast<int>(*y)}));
  });
  AddCommand("close", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 1, "close WINDOW")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    return w && act(ctx, ctx.user().SystemClose(w));
  });
  AddCommand("syscommand", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 2, "syscommand WINDOW COMMAND")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto command = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    return command && act(ctx, ctx.user().SystemCommand(w, static_cast<unsigned>(*command)));
  });
  AddCommand("msgbox", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(
            ctx, cmd, 1,
            "msgbox ok|cancel|yes|no [text=\"...\"] [caption=\"...\"] [buttons=...] [icon=...]"))
      return false;
    auto box = ctx.user().OpenMessageBox();
    if (!box) return ctx.Fail("no message box is open");
    auto answer = ParseAnswer(cmd.args[0]);
    if (!answer) return ctx.Fail("unknown answer \"" + cmd.args[0] + "\"");
    for (const auto& [key, value] : cmd.options) {
      if (key == "text" && box->text != value) {
        return ctx.Fail("message box text: expected " + Ctx::Show(value) + ", saw " +
                        Ctx::Show(box->text));
      } else if (key == "caption" && box->caption != value) {
        return ctx.Fail("message box caption: expected " + Ctx::Show(value) + ", saw " +
                        Ctx::Show(box->caption));
      } else if (key == "buttons") {
        auto buttons = ParseButtons(value);
        if (!buttons) return ctx.Fail("unknown buttons \"" + value + "\"");
        if ((box->type & mb::kButtonsMask) != *buttons) {
          return ctx.Fail("message box buttons: expected " + value + ", saw " +
                          ButtonsName(box->type));
        }
      } else if (key == "icon") {
        auto icon = ParseIcon(value);
        if (!icon) return ctx.Fail("unknown icon \"" + value + "\"");
        if ((box->type & mb::kIconMask) != *icon) {
          return ctx.Fail("message box icon: expected " + value + ", saw " + IconName(box->type));
        }
      } else if (key != "text" && key != "caption") {
        return ctx.Fail("unknown option \"" + key + "\"");
      }
    }
    return act(ctx, ctx.user().AnswerMessageBox(*answer));
  });
  AddCommand("tray-click", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 3, "tray-click WINDOW ICON left|right")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto icon = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    if (!icon) return false;
    const std::uint32_t mouse = cmd.args[2] == "right"  ? msg::kRButtonDown
                                : cmd.args[2] == "left" ? msg::kLButtonDown
                                                        : 0;
    if (!mouse) return ctx.Fail("tray buttons are left or right");
    return act(ctx, ctx.user().ClickTray(w, static_cast<int>(*icon), mouse));
  });
  AddCommand("picker", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 1, "picker \"PATH\"|cancel")) return false;
    const bool cancel = cmd.args[0] == "cancel" && !cmd.quoted[0];
    ctx.user().SetNextPickerAnswer(cancel ? std::nullopt : std::optional<std::string>(cmd.args[0]));
    return true;
  });
  AddCommand("web-navigate", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 3, "web-navigate WINDOW CONTROL \"URL\" [new-window]")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    const bool newWindow = cmd.args.size() > 3 && cmd.args[3] == "new-window";
    return id &&
           act(ctx, ctx.user().WebNavigateByUser(w, static_cast<int>(*id), cmd.args[2], newWindow));
  });

  // --- time and the screen ---
  AddCommand("advance", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 1, "advance DURATION (e.g. 1500ms, 61s, 2m)")) return false;
    auto ms = ParseDuration(cmd.args[0]);
    if (!ms) return ctx.Fail("\"" + cmd.args[0] + "\" is not a duration");
    ctx.user().Advance(*ms);
    return true;
  });
  AddCommand("time", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 2, "time YYYY-MM-DD HH:MM:SS")) return false;
    int y, mo, d, h, mi, s;
    if (std::sscanf(cmd.args[0].c_str(), "%d-%d-%d", &y, &mo, &d) != 3 ||
        std::sscanf(cmd.args[1].c_str(), "%d:%d:%d", &h, &mi, &s) != 3) {
      return ctx.Fail("time is YYYY-MM-DD HH:MM:SS");
    }
    if (!ctx.user().SetLocalTime(y, mo, d, h, mi, s))
      return ctx.Fail("this backend cannot set the time");
    return true;
  });
  AddCommand("wait", [=](Ctx& ctx, const Cmd& cmd) {
    // wait DURATION: lets worker threads and posted messages run, in real time.
    if (!needArgs(ctx, cmd, 1, "wait DURATION")) return false;
    auto ms = ParseDuration(cmd.args[0]);
    if (!ms) return ctx.Fail("\"" + cmd.args[0] + "\" is not a duration");
    ctx.user().WaitUntil([] { return false; }, *ms);
    return true;
  });
  AddCommand("wait-text", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 4, "wait-text WINDOW CONTROL \"TEXT\" TIMEOUT")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    auto id = w ? ctx.Number(cmd.args[1]) : std::nullopt;
    auto ms = ParseDuration(cmd.args[3]);
    if (!id || !ms) return ctx.Fail("usage: wait-text WINDOW CONTROL \"TEXT\" TIMEOUT");
    const int control = static_cast<int>(*id);
    const std::string& want = cmd.args[2];
    const bool done = ctx.user().WaitUntil(
        [&] {
          return ctx.backend().IsWindow(w) &&
                 ctx.backend().GetControlText(w, control).find(want) != std::string::npos;
        },
        *ms);
    if (!done) {
      return ctx.Fail(
          "control " + cmd.args[1] + " never showed " + Ctx::Show(want) + "; it shows " +
          Ctx::Show(ctx.backend().IsWindow(w) ? ctx.backend().GetControlText(w, control) : ""));
    }
    return true;
  });
  AddCommand("repaint", [=](Ctx& ctx, const Cmd& cmd) {
    if (!needArgs(ctx, cmd, 1, "repaint WINDOW")) return false;
    const WindowId w = ctx.Window(cmd.args[0]);
    if (!w) return false;
    ctx.user().Repaint(w);
    return true;
  });
  AddCommand("screenshot", [=](Ctx& ctx, const Cmd& cmd) {
    // Saved where the backend can draw; the headless backend draws nothing.
    if (!needArgs(ctx, cmd, 1, "screenshot \"PATH\" [WINDOW]")) return false;
    WindowId w = 0;
    if (cmd.args.size() > 1 && !(w = ctx.Window(cmd.args[1]))) return false;
    ctx.user().Screenshot(w, ctx.runner().ScreenshotPath(cmd.args[0]));
    return true;
  });

  // --- expectations ---
  auto control2 = [](Ctx& ctx, const Cmd& cmd, WindowId& w, int& id) {
    if (cmd.args.size() < 3)
      return ctx.Fail("usage: expect " + cmd.args[0] + " WINDOW CONTROL ...");
    w = ctx.Window(cmd.args[1]);
    if (!w) return false;
    auto n = ctx.Number(cmd.args[2]);
    if (!n) return false;
    id = static_cast<int>(*n);
    return true;
  };
  auto expectEqual = [](Ctx& ctx, const std::string& what, const std::string& want,
                        const std::string& seen) {
    if (want == seen) return true;
    return ctx.Fail(what + ": expected " + Ctx::Show(want) + ", saw " + Ctx::Show(seen));
  };
  AddCommand("expect text", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect text WINDOW CONTROL \"TEXT\"");
    return expectEqual(ctx, "text of " + cmd.args[2], cmd.args[3],
                       ctx.backend().GetControlText(w, id));
  });
  AddCommand("expect text-contains", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect text-contains WINDOW CONTROL \"TEXT\"");
    const std::string seen = ctx.backend().GetControlText(w, id);
    if (seen.find(cmd.args[3]) != std::string::npos) return true;
    return ctx.Fail("text of " + cmd.args[2] + " does not contain " + Ctx::Show(cmd.args[3]) +
                    ": " + Ctx::Show(seen));
  });
  auto expectFlag = [=](const char* name, std::function<bool(Ctx&, WindowId, int)> read) {
    return [=](Ctx& ctx, const Cmd& cmd) {
      WindowId w;
      int id;
      if (!control2(ctx, cmd, w, id)) return false;
      bool want = true;
      if (cmd.args.size() > 3 && !ParseFlag(cmd.args[3], want)) return ctx.Fail("expected 0 or 1");
      const bool seen = read(ctx, w, id);
      if (seen == want) return true;
      return ctx.Fail(std::string(name) + " of " + cmd.args[2] + ": expected " +
                      (want ? "1" : "0") + ", saw " + (seen ? "1" : "0"));
    };
  };
  AddCommand("expect enabled", expectFlag("enabled", [](Ctx& c, WindowId w, int id) {
               return c.backend().IsControlEnabled(w, id);
             }));
  AddCommand("expect visible", expectFlag("visible", [](Ctx& c, WindowId w, int id) {
               return c.backend().IsControlVisible(w, id);
             }));
  AddCommand("expect checked", expectFlag("checked", [](Ctx& c, WindowId w, int id) {
               return c.backend().GetCheck(w, id) != 0;
             }));
  AddCommand("expect combo-items", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    std::vector<std::string> seen;
    for (int i = 0; i < ctx.backend().ComboCount(w, id); ++i)
      seen.push_back(ctx.backend().ComboItemText(w, id, i));
    const std::vector<std::string> want(cmd.args.begin() + 3, cmd.args.end());
    if (seen == want) return true;
    std::string shown;
    for (const auto& s : seen) shown += " " + Ctx::Show(s);
    return ctx.Fail("combo entries:" + (shown.empty() ? std::string(" none") : shown));
  });
  AddCommand("expect combo-sel", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect combo-sel WINDOW CONTROL INDEX");
    auto want = ctx.Number(cmd.args[3]);
    if (!want) return false;
    const int seen = ctx.backend().ComboGetSel(w, id);
    return seen == *want ? true
                         : ctx.Fail("combo selection: expected " + cmd.args[3] + ", saw " +
                                    std::to_string(seen));
  });
  AddCommand("expect list-count", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect list-count WINDOW CONTROL N");
    auto want = ctx.Number(cmd.args[3]);
    if (!want) return false;
    const int seen = ctx.backend().ListItemCount(w, id);
    return seen == *want
               ? true
               : ctx.Fail("list rows: expected " + cmd.args[3] + ", saw " + std::to_string(seen));
  });
  AddCommand("expect list-cell", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 6)
      return ctx.Fail("usage: expect list-cell WINDOW CONTROL ROW COLUMN \"TEXT\"");
    auto row = ctx.Number(cmd.args[3]);
    auto col = row ? ctx.Number(cmd.args[4]) : std::nullopt;
    if (!col) return false;
    return expectEqual(
        ctx, "list cell " + cmd.args[3] + "," + cmd.args[4], cmd.args[5],
        ctx.backend().ListItemText(w, id, static_cast<int>(*row), static_cast<int>(*col)));
  });
  AddCommand("expect list-sel", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect list-sel WINDOW CONTROL ITEM");
    auto want = ctx.Number(cmd.args[3]);
    if (!want) return false;
    const int seen = ctx.backend().ListSelected(w, id);
    return seen == *want ? true
                         : ctx.Fail("list selection: expected " + cmd.args[3] + ", saw " +
                                    std::to_string(seen));
  });
  AddCommand("expect limit", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect limit WINDOW CONTROL BYTES");
    auto want = ctx.Number(cmd.args[3]);
    if (!want) return false;
    const int seen = ctx.user().EditLimit(w, id);
    return seen == *want
               ? true
               : ctx.Fail("edit limit: expected " + cmd.args[3] + ", saw " + std::to_string(seen));
  });
  AddCommand("expect selection", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 5) return ctx.Fail("usage: expect selection WINDOW CONTROL START END");
    auto start = ctx.Number(cmd.args[3]);
    auto end = start ? ctx.Number(cmd.args[4]) : std::nullopt;
    if (!end) return false;
    auto [s, e] = ctx.user().EditSelection(w, id);
    if (s == *start && e == *end) return true;
    return ctx.Fail("selection: saw " + std::to_string(s) + " " + std::to_string(e));
  });
  AddCommand("expect font", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4)
      return ctx.Fail("usage: expect font WINDOW CONTROL \"FACE\" HEIGHT | none");
    auto font = ctx.user().ControlFont(w, id);
    if (cmd.args[3] == "none")
      return font ? ctx.Fail("control has font " + Ctx::Show(font->face)) : true;
    if (!font) return ctx.Fail("control keeps the template font");
    if (font->face != cmd.args[3]) return expectEqual(ctx, "font face", cmd.args[3], font->face);
    if (cmd.args.size() > 4) {
      auto height = ctx.Number(cmd.args[4]);
      if (!height) return false;
      if (font->height != *height)
        return ctx.Fail("font height: saw " + std::to_string(font->height));
    }
    return true;
  });
  AddCommand("expect color", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4)
      return ctx.Fail("usage: expect color WINDOW CONTROL default|hollow|transparent");
    const CtlColor c = ctx.user().ControlColor(w, id);
    const std::string seen = !c.hollowBrush      ? "default"
                             : c.transparentText ? "transparent"
                                                 : "hollow";
    return seen == cmd.args[3] ? true
                               : ctx.Fail("colour: expected " + cmd.args[3] + ", saw " + seen);
  });
  AddCommand("expect paint", [=](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 3) return ctx.Fail("usage: expect paint WINDOW \"OPERATION\"");
    const WindowId w = ctx.Window(cmd.args[1]);
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
  AddCommand("expect window", [=](Ctx& ctx, const Cmd& cmd) {
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
    const WindowId w = ctx.Window(cmd.args[1]);
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
  AddCommand("expect windows", [=](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 3) return ctx.Fail("usage: expect windows TEMPLATE COUNT");
    auto templateId = ctx.Number(cmd.args[1]);
    auto count = templateId ? ctx.Number(cmd.args[2]) : std::nullopt;
    if (!count) return false;
    const auto seen = ctx.user().FindWindows(static_cast<int>(*templateId)).size();
    return static_cast<long long>(seen) == *count
               ? true
               : ctx.Fail(std::to_string(seen) + " windows of template " + cmd.args[1] +
                          " are open");
  });
  AddCommand("expect rect", [=](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 6) return ctx.Fail("usage: expect rect WINDOW X Y WIDTH HEIGHT");
    const WindowId w = ctx.Window(cmd.args[1]);
    if (!w) return false;
    long long v[4];
    for (int i = 0; i < 4; ++i) {
      auto n = ctx.Number(cmd.args[i + 2]);
      if (!n) return false;
      v[i] = *n;
    }
    const Rect r = ctx.backend().GetWindowRect(w);
    if (r.left == v[0] && r.top == v[1] && r.Width() == v[2] && r.Height() == v[3]) return true;
    return ctx.Fail("window rectangle: saw " + std::to_string(r.left) + " " +
                    std::to_string(r.top) + " " + std::to_string(r.Width()) + " " +
                    std::to_string(r.Height()));
  });
  AddCommand("expect web", [=](Ctx& ctx, const Cmd& cmd) {
    WindowId w;
    int id;
    if (!control2(ctx, cmd, w, id)) return false;
    if (cmd.args.size() < 4) return ctx.Fail("usage: expect web WINDOW CONTROL \"URL\"");
    return expectEqual(ctx, "web address", cmd.args[3], ctx.backend().WebLocation(w, id));
  });
  AddCommand("expect tray", [=](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect tray COUNT [ICON-RESOURCE \"TIP\"]");
    auto count = ctx.Number(cmd.args[1]);
    if (!count) return false;
    const auto icons = ctx.user().TrayIcons();
    if (static_cast<long long>(icons.size()) != *count) {
      return ctx.Fail(std::to_string(icons.size()) + " tray icons are shown");
    }
    if (cmd.args.size() > 3) {
      auto resource = ctx.Number(cmd.args[2]);
      if (!resource) return false;
      for (const auto& icon : icons) {
        if (icon.iconResource == *resource && icon.tip == cmd.args[3]) return true;
      }
      return ctx.Fail("no tray icon " + cmd.args[2] + " with tip " + Ctx::Show(cmd.args[3]));
    }
    return true;
  });
  AddCommand("expect msgbox", [=](Ctx& ctx, const Cmd& cmd) {
    // expect msgbox none | expect msgbox "TEXT": looks without answering.
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect msgbox none|\"TEXT\"");
    auto box = ctx.user().OpenMessageBox();
    if (cmd.args[1] == "none" && !cmd.quoted[1]) {
      return box ? ctx.Fail("a message box is open: " + Ctx::Show(box->text)) : true;
    }
    if (!box) return ctx.Fail("no message box is open");
    return expectEqual(ctx, "message box text", cmd.args[1], box->text);
  });
  AddCommand("expect exit", [=](Ctx& ctx, const Cmd& cmd) {
    if (cmd.args.size() < 2) return ctx.Fail("usage: expect exit CODE");
    auto want = ctx.Number(cmd.args[1]);
    if (!want) return false;
    if (!ctx.runner().ProgramEnded()) return ctx.Fail("the program is still running");
    const int seen = ctx.runner().ProgramExitCode();
    return seen == *want
               ? true
               : ctx.Fail("exit code: expected " + cmd.args[1] + ", saw " + std::to_string(seen));
  });
}

}  // namespace ui
