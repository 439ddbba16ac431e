#pragma once
#include <optional>
#include <string>
#include <vector>

// Starting helper programs without a shell, so no argument is ever parsed as
// shell syntax. Programs are looked up on PATH; arguments are UTF-8.
namespace platform::linuxos {

struct RunResult {
  int exitCode = -1;   // -1 when the program was killed by a signal or timed out
  std::string output;  // standard output, when captured
};

// Runs a program and waits for it, at most `timeoutMs` (then it is killed).
// nullopt when the program could not be started (not found, not executable).
std::optional<RunResult> RunAndWait(const std::vector<std::string>& argv, int timeoutMs = 10000,
                                    bool captureOutput = false);

// Starts a program and returns at once; a helper thread reaps it.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace platform::linuxos
