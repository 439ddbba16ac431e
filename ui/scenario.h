#pragma once
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/user_actions.h"

namespace ui {

class ScenarioRunner;

// "1500", "1500ms", "61s", "2m", "2min", "1h" in milliseconds.
std::optional<unsigned> ParseDuration(const std::string& text);

// One command of a scenario: its words, quoted strings already unquoted.
// Arguments in quotes are converted to program text (GBK); `key=value`
// options are split off into `options`. For `expect NAME ...` the first
// argument is NAME.
struct ScenarioCommand {
  int line = 0;
  std::string source;  // the line as written (UTF-8)
  std::string name;
  std::vector<std::string> args;
  std::vector<bool> quoted;  // per argument: written in quotes
  std::map<std::string, std::string> options;
};

// What a scenario command gets to work with. The readers take an argument by
// its index, record why it is unfit (or missing) and answer nothing then.
class ScenarioContext {
 public:
  ScenarioContext(ScenarioRunner& runner, Backend& backend, UserActions& user,
                  const ScenarioCommand& command)
      : runner_(runner), backend_(backend), user_(user), command_(command) {}

  Backend& backend() { return backend_; }
  UserActions& user() { return user_; }
  ScenarioRunner& runner() { return runner_; }
  const ScenarioCommand& command() const { return command_; }

  // True when the command has at least `count` arguments; else records
  // "usage: USAGE".
  bool Usage(std::size_t count, const std::string& usage);
  bool HasArg(std::size_t i) const { return i < command_.args.size(); }
  const std::string& Arg(std::size_t i) const;
  bool Quoted(std::size_t i) const { return i < command_.quoted.size() && command_.quoted[i]; }
  // A window reference ("135", "135#2"); 0 when there is none.
  WindowId WindowArg(std::size_t i);
  // A control id.
  std::optional<int> ControlArg(std::size_t i);
  std::optional<long long> NumberArg(std::size_t i);
  std::optional<unsigned> DurationArg(std::size_t i);

  // Resolves "135" (the newest live window made from template 135) or "135#2"
  // (the second oldest); 0 with a failure recorded when there is none.
  WindowId Window(const std::string& ref);
  // Parses a decimal (or 0x hexadecimal) integer argument; records a failure if it is not one.
  std::optional<long long> Number(const std::string& text);
  // Records why the command failed; always answers false.
  bool Fail(const std::string& why);
  // Fails with the user actions' own reason unless `done`.
  bool Act(bool done);
  // Program text (GBK) made readable in a report (UTF-8, quoted).
  static std::string Show(const std::string& gbk);

 private:
  ScenarioRunner& runner_;
  Backend& backend_;
  UserActions& user_;
  const ScenarioCommand& command_;
};

// Runs a scenario file against the program: the backend's loops call Step
// whenever they are idle, so commands also act inside nested modal loops.
// It starts with the built-in families (user actions, expectations, time and
// the screen); modules add their own with AddCommand.
class ScenarioRunner : public Script {
 public:
  using Handler = std::function<bool(ScenarioContext&, const ScenarioCommand&)>;

  ScenarioRunner(Backend& backend, UserActions& user);

  // Parses the file; false (with Report() saying why) on a syntax error.
  bool LoadFile(const std::string& path);
  bool LoadText(const std::string& text, const std::string& name = "scenario");

  // Adds a command (or replaces one). `expect` sub-commands are registered
  // as "expect NAME".
  void AddCommand(const std::string& name, Handler handler);
  // A command that prepares the machine (a file, a lock held elsewhere): at
  // the top of a script it runs before the program starts (RunSetup).
  void AddSetupCommand(const std::string& name, Handler handler);
  // Runs the setup commands the script opens with; false when one failed.
  bool RunSetup();

  // The entry named by a leading "start NAME" line ("main" when none).
  const std::string& StartEntry() const { return startEntry_; }

  bool Step() override;
  // Called once the program's entry has returned: runs what is left of the
  // script (the closing expectations) outside any loop.
  void FinishAfterExit(int exitCode);

  // Where `screenshot` saves a relative PATH: in this folder (empty: the
  // current directory). An absolute PATH stays as written.
  void SetScreenshotFolder(const std::string& folder) { screenshotFolder_ = folder; }
  std::string ScreenshotPath(const std::string& path) const;

  bool ProgramEnded() const { return programEnded_; }
  int ProgramExitCode() const { return exitCode_; }
  bool Failed() const { return failed_; }
  // "FILE:LINE: COMMAND: why" for the first failure, or a summary when all held.
  std::string Report() const;
  void RecordFailure(const ScenarioCommand* command, const std::string& why);

 private:
  bool Execute(const ScenarioCommand& command);

  Backend& backend_;
  UserActions& user_;
  std::string name_;
  std::string screenshotFolder_;
  std::string startEntry_ = "main";
  std::vector<ScenarioCommand> commands_;
  std::size_t next_ = 0;
  std::map<std::string, Handler> handlers_;
  std::set<std::string> setupCommands_;
  bool failed_ = false;
  std::string failure_;
  bool programEnded_ = false;
  int exitCode_ = 0;
  int executed_ = 0;
};

}  // namespace ui
