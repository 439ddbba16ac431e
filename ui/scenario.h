#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/user_actions.h"

namespace ui {

class ScenarioRunner;

// What a scenario command gets to work with.
class ScenarioContext {
 public:
  ScenarioContext(ScenarioRunner& runner, Backend& backend, UserActions& user)
      : runner_(runner), backend_(backend), user_(user) {}

  Backend& backend() { return backend_; }
  UserActions& user() { return user_; }
  ScenarioRunner& runner() { return runner_; }

  // Resolves "135" (the newest live window made from template 135) or "135#2"
  // (the second oldest); 0 with a failure recorded when there is none.
  WindowId Window(const std::string& ref);
  // Parses a decimal (or 0x hexadecimal) integer argument; records a failure if it is not one.
  std::optional<long long> Number(const std::string& text);
  // Records why the command failed; always answers false.
  bool Fail(const std::string& why);
  // Program text (GBK) made readable in a report (UTF-8, quoted).
  static std::string Show(const std::string& gbk);

 private:
  ScenarioRunner& runner_;
  Backend& backend_;
  UserActions& user_;
};

// One command of a scenario: its words, quoted strings already unquoted.
// Arguments in quotes are converted to program text (GBK); `key=value`
// options are split off into `options`.
struct ScenarioCommand {
  int line = 0;
  std::string source;  // the line as written (UTF-8)
  std::string name;
  std::vector<std::string> args;
  std::vector<bool> quoted;  // per argument: written in quotes
  std::map<std::string, std::string> options;
};

// Runs a scenario file against the program: the backend's loops call Step
// whenever they are idle, so commands also act inside nested modal loops.
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
  void AddBuiltins();

  Backend& backend_;
  UserActions& user_;
  std::string name_;
  std::string screenshotFolder_;
  std::string startEntry_ = "main";
  std::vector<ScenarioCommand> commands_;
  std::size_t next_ = 0;
  std::map<std::string, Handler> handlers_;
  bool failed_ = false;
  std::string failure_;
  bool programEnded_ = false;
  int exitCode_ = 0;
  int executed_ = 0;
};

}  // namespace ui
