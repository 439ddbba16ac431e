#include "ui/scenario.h"

#include "ui/scenario_commands.h"

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

}  // namespace

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

bool ScenarioContext::Usage(std::size_t count, const std::string& usage) {
  return command_.args.size() >= count ? true : Fail("usage: " + usage);
}

const std::string& ScenarioContext::Arg(std::size_t i) const {
  static const std::string none;
  return i < command_.args.size() ? command_.args[i] : none;
}

WindowId ScenarioContext::WindowArg(std::size_t i) {
  if (!HasArg(i)) {
    Fail("a window is missing");
    return 0;
  }
  return Window(Arg(i));
}

std::optional<int> ScenarioContext::ControlArg(std::size_t i) {
  const auto n = NumberArg(i);
  return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

std::optional<long long> ScenarioContext::NumberArg(std::size_t i) {
  if (!HasArg(i)) {
    Fail("a number is missing");
    return std::nullopt;
  }
  return Number(Arg(i));
}

std::optional<unsigned> ScenarioContext::DurationArg(std::size_t i) {
  const auto ms = HasArg(i) ? ParseDuration(Arg(i)) : std::nullopt;
  if (!ms) Fail("\"" + Arg(i) + "\" is not a duration");
  return ms;
}

bool ScenarioContext::Act(bool done) {
  return done ? true : Fail(user_.ActionError());
}

std::string ScenarioContext::Show(const std::string& gbk) {
  return "\"" + text::GbkToUtf8(gbk) + "\"";
}

// --- runner ----------------------------------------------------------------------

ScenarioRunner::ScenarioRunner(Backend& backend, UserActions& user)
    : backend_(backend), user_(user) {
  AddUserCommands(*this);
  AddExpectCommands(*this);
  AddTimeCommands(*this);
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

void ScenarioRunner::AddSetupCommand(const std::string& name, Handler handler) {
  AddCommand(name, std::move(handler));
  setupCommands_.insert(name);
}

bool ScenarioRunner::RunSetup() {
  while (!failed_ && next_ < commands_.size() && setupCommands_.count(commands_[next_].name)) {
    Execute(commands_[next_++]);
  }
  return !failed_;
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
  ScenarioContext context(*this, backend_, user_, command);
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

std::string ScenarioRunner::ScreenshotPath(const std::string& path) const {
  const bool absolute =
      (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
  if (absolute || screenshotFolder_.empty()) return path;
  const char last = screenshotFolder_.back();
  return last == '/' || last == '\\' ? screenshotFolder_ + path : screenshotFolder_ + "/" + path;
}

std::string ScenarioRunner::Report() const {
  if (failed_) return failure_;
  return name_ + ": " + std::to_string(executed_) + " commands, every expectation held";
}

}  // namespace ui
